#!/usr/bin/env python3
"""A visitor logs in with a real browser.

Serves a portal folder with lighttpd on a free loopback port and drives
headless Chromium through Selenium (Debian's python3-selenium with the
system's chromedriver): open the protected test page, see the login form,
type the test credentials, submit, land on the confirmation page with the
user cookie set, and follow its link to the page that was wanted.

    /usr/bin/python3 login_browser_test.py --cgi BUILD/tessaro.cgi --source SOURCE_DIR
"""
import argparse
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

LOGIN_FORM = """<html><head><title>Login</title></head><body>
<form action="<#tag_logaction>" method="post">
<input type="text" name="USRNAME"><input type="password" name="PSWD">
<input type="hidden" name="logdest" value="<#tag_destination>">
<input type="hidden" name="logqry" value="<#tag_destquery>">
<input type="submit" id="send" value="Login">
</form><p id="bad"><#tag_badlogin></p></body></html>
"""
LOGIN_OK = """<html><head><title>Welcome</title></head><body>
<p id="ok">Login accepted.</p><a id="next" href="<#LINK>">continue</a></body></html>
"""


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for_port(port, seconds=15):
    deadline = time.time() + seconds
    while time.time() < deadline:
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=1):
                return
        except OSError:
            time.sleep(0.1)
    raise RuntimeError(f"nothing listens on port {port}")


def start_browser(profile_dir):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for arg in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                "--disable-background-networking", "--disable-component-update", "--disable-sync",
                "--disable-dev-shm-usage", f"--user-data-dir={profile_dir}"):
        options.add_argument(arg)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    # Under load (sanitizer builds, parallel tests) a page may still be
    # loading after a click: element look-ups wait for it.
    driver.implicitly_wait(15)
    driver.set_page_load_timeout(60)
    return driver


def cookies(driver):
    return {c["name"]: c["value"] for c in driver.get_cookies()}


def type_into(driver, css, text):
    driver.find_element(By.CSS_SELECTOR, css).send_keys(text)


def click(driver, css):
    driver.find_element(By.CSS_SELECTOR, css).click()


def text_of(driver, css):
    return driver.find_element(By.CSS_SELECTOR, css).text


def report_failure(what, error, driver):
    print(f"browser {what} test failed: {error!r}", file=sys.stderr)
    if driver:
        try:
            print("page at failure:", driver.page_source[:2000], file=sys.stderr)
        except Exception:
            pass
    print("0 passed, 1 failed")
    return 1


def serve_demo(cgi, source, work, processes):
    """Builds the demo folder in WORK with scripts/build-demo-site and serves it
    with lighttpd on a free port (the server joins PROCESSES); the portal's
    address."""
    portal = os.path.join(work, "site")
    build_dir = os.path.dirname(os.path.abspath(cgi))
    subprocess.run([os.path.join(source, "scripts", "build-demo-site"), build_dir, portal], check=True,
                   stdout=subprocess.DEVNULL)
    web_port = free_port()
    processes.append(subprocess.Popen(
        [os.path.join(source, "scripts", "serve"), portal, str(web_port), "--foreground"],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    wait_for_port(web_port)
    return f"http://127.0.0.1:{web_port}/tessaro.cgi"


def log_in(driver, portal_url, username, password):
    """Logs in through the login form the main page asks with, and waits until
    the login's cookie has arrived and the form is gone."""
    driver.get(portal_url + "/main")
    type_into(driver, "input[name=USRNAME]", username)
    type_into(driver, "input[name=PSWD]", password)
    click(driver, "input[type=submit]")
    WebDriverWait(driver, 30).until(lambda d: "ZNKCGIUSERID" in cookies(d))
    WebDriverWait(driver, 30).until(lambda d: "PSWD" not in d.page_source)


def screenshot(driver, name, width=1280, height=1200):
    """Saves a screenshot NAME into the folder TESSARO_SCREENSHOTS names, if any."""
    folder = os.environ.get("TESSARO_SCREENSHOTS")
    if folder:
        os.makedirs(folder, exist_ok=True)
        driver.set_window_size(width, height)
        driver.save_screenshot(os.path.join(folder, name))


def run_demo_journey(what, journey):
    """Runs journey(driver, portal_url) in headless Chromium against the demo
    portal served from the program and source folders given as --cgi and
    --source, logged in as the salesperson; prints the outcome and returns
    the exit code."""
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
        journey(driver, portal_url)
        print("1 passed, 0 failed")
        return 0
    except Exception as error:  # report and fail
        return report_failure(what, error, driver)
    finally:
        clean_up(driver, processes, [work, profile])


def clean_up(driver, processes, folders):
    if driver:
        driver.quit()
    for p in processes:
        p.terminate()
        try:
            p.wait(timeout=10)
        except subprocess.TimeoutExpired:
            p.kill()
    for folder in folders:
        shutil.rmtree(folder, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cgi", required=True)
    parser.add_argument("--source", required=True)
    args = parser.parse_args()

    portal = tempfile.mkdtemp(prefix="tessaro-browser-")
    profile = tempfile.mkdtemp(prefix="tessaro-chrome-")
    processes = []
    driver = None
    try:
        os.symlink(os.path.abspath(args.cgi), os.path.join(portal, "tessaro.cgi"))
        os.makedirs(os.path.join(portal, "templates"))
        with open(os.path.join(portal, "tessaro0.ini"), "w") as f:
            f.write("[OPTIONS]\npath_to_templates=templates\npgLOGIN=login.html\npgLOGOK=logok.html\n"
                    "bad_login=Wrong name or password\n")
        with open(os.path.join(portal, "templates", "login.html"), "w") as f:
            f.write(LOGIN_FORM)
        with open(os.path.join(portal, "templates", "logok.html"), "w") as f:
            f.write(LOGIN_OK)

        web_port = free_port()
        processes.append(subprocess.Popen(
            [os.path.join(args.source, "scripts", "serve"), portal, str(web_port), "--foreground"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        wait_for_port(web_port)
        driver = start_browser(profile)
        portal_url = f"http://127.0.0.1:{web_port}/tessaro.cgi"

        driver.get(portal_url + "/zntest?x=1")
        assert "ZNKSESSIONID" in cookies(driver), cookies(driver)
        type_into(driver, "input[name=USRNAME]", "quokka")
        type_into(driver, "input[name=PSWD]", "wrong")
        click(driver, "#send")
        assert text_of(driver, "p#bad:not(:empty)") == "Wrong name or password", text_of(driver, "#bad")
        assert "ZNKCGIUSERID" not in cookies(driver)

        type_into(driver, "input[name=USRNAME]", "quokka")
        type_into(driver, "input[name=PSWD]", "pelican")
        click(driver, "#send")
        assert text_of(driver, "#ok") == "Login accepted.", driver.page_source
        assert cookies(driver).get("ZNKCGIUSERID") == "TEST", cookies(driver)

        click(driver, "#next")
        wanted = portal_url + "/zntest?x=1"
        WebDriverWait(driver, 30).until(lambda d: d.current_url == wanted)
        assert "Neplatn" in driver.page_source, driver.page_source
        print("1 passed, 0 failed")
        return 0
    except Exception as error:  # report and fail
        return report_failure("login", error, driver)
    finally:
        clean_up(driver, processes, [portal, profile])

if __name__ == "__main__":
    sys.exit(main())
