#!/usr/bin/env python3
"""A visitor of the demo portal logs in, sees the role's main page, logs out.

Builds the demo folder (scripts/build-demo-site), serves it with lighttpd on
a free loopback port and drives headless Chromium through Selenium: the main
page asks for a login; the salesperson logs in, follows the confirmation's
link to the main page and sees the salesperson's menu and the notice board;
the page's "log out" link ends the login, so the main page asks again.

    /usr/bin/python3 main_page_browser_test.py --cgi BUILD/tessaro.cgi --source SOURCE_DIR
"""
import os
import sys

from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from login_browser_test import click, cookies, run_demo_journey, text_of  # noqa: E402


def journey(driver, portal_url):
    click(driver, "a")
    WebDriverWait(driver, 30).until(lambda d: d.current_url == portal_url + "/main")
    menu = [a.text for a in driver.find_elements(By.CSS_SELECTOR, "#menu a")]
    assert menu == ["Zákazníci", "Objednávky", "Zboží"], menu
    assert "Martin Kříž (Obchodník)" in text_of(driver, "header"), text_of(driver, "header")
    assert text_of(driver, "#board").startswith("Vítejte na portálu Zelené louky."), text_of(driver, "#board")

    user_cookie = cookies(driver)["ZNKCGIUSERID"]
    click(driver, "header a")
    # The logout must have reached the portal before the next address.
    WebDriverWait(driver, 30).until(lambda d: cookies(d).get("ZNKCGIUSERID") != user_cookie)
    driver.get(portal_url + "/main")
    assert driver.find_elements(By.CSS_SELECTOR, "input[name=PSWD]"), driver.page_source
    assert not driver.find_elements(By.CSS_SELECTOR, "#menu"), driver.page_source


if __name__ == "__main__":
    sys.exit(run_demo_journey("main page", journey))
