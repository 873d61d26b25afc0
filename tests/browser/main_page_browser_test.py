#!/usr/bin/env python3
"""A visitor of the demo portal logs in, sees the role's main page, logs out.

Builds the demo folder (scripts/build-demo-site), serves it with lighttpd on
a free loopback port and drives headless Chromium through Selenium: the main
page asks for a login; the salesperson logs in, follows the confirmation's
link to the main page and sees the salesperson's menu and the notice board;
the page's "log out" link ends the login, so the main page asks again.

    /usr/bin/python3 main_page_browser_test.py --cgi BUILD/tessaro.cgi --source SOURCE_DIR
"""
import argparse
import os
import sys
import tempfile

from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from login_browser_test import (clean_up, click, cookies, log_in, report_failure, serve_demo,  # noqa: E402
                                start_browser, text_of)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cgi", required=True)
    parser.add_argument("--source", required=True)
    args = parser.parse_args()

    work = tempfile.mkdtemp(prefix="tessaro-browser-")
    profile = tempfile.mkdtemp(prefix="tessaro-chrome-")
    processes = []
    driver = None
    try:
        portal_url = serve_demo(args.cgi, args.source, work, processes)
        driver = start_browser(profile)
        log_in(driver, portal_url, "kriz", "obchod")
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
        print("1 passed, 0 failed")
        return 0
    except Exception as error:  # report and fail
        return report_failure("main page", error, driver)
    finally:
        clean_up(driver, processes, [work, profile])

if __name__ == "__main__":
    sys.exit(main())
