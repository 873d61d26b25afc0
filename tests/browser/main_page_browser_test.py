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
import subprocess
import sys
import tempfile

from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from login_browser_test import (clean_up, click, cookies, free_port, report_failure, start_browser,  # noqa: E402
                                text_of, type_into, wait_for_port)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cgi", required=True)
    parser.add_argument("--source", required=True)
    args = parser.parse_args()

    work = tempfile.mkdtemp(prefix="tessaro-browser-")
    portal = os.path.join(work, "site")
    profile = tempfile.mkdtemp(prefix="tessaro-chrome-")
    processes = []
    driver = None
    try:
        build_dir = os.path.dirname(os.path.abspath(args.cgi))
        subprocess.run([os.path.join(args.source, "scripts", "build-demo-site"), build_dir, portal], check=True,
                       stdout=subprocess.DEVNULL)
        web_port = free_port()
        processes.append(subprocess.Popen(
            [os.path.join(args.source, "scripts", "serve"), portal, str(web_port), "--foreground"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        wait_for_port(web_port)
        driver = start_browser(profile)
        portal_url = f"http://127.0.0.1:{web_port}/tessaro.cgi"

        driver.get(portal_url + "/main")
        type_into(driver, "input[name=USRNAME]", "kriz")
        type_into(driver, "input[name=PSWD]", "obchod")
        click(driver, "input[type=submit]")
        # A click returns before the next page has arrived: wait for the
        # login's cookie and for the form to be gone before using the page.
        WebDriverWait(driver, 30).until(lambda d: "ZNKCGIUSERID" in cookies(d))
        WebDriverWait(driver, 30).until(lambda d: "PSWD" not in d.page_source)
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
