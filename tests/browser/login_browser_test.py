#!/usr/bin/env python3
"""A visitor logs in with a real browser.

Serves a portal folder with lighttpd on a free loopback port, drives headless
Chromium through chromedriver's WebDriver protocol (plain HTTP and JSON, so no
client library is needed): open the protected test page, see the login form,
type the test credentials, submit, land on the confirmation page with the
user cookie set, and follow its link to the page that was wanted.

    login_browser_test.py --cgi BUILD/tessaro.cgi --source SOURCE_DIR
"""
import argparse
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import urllib.request

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


class WebDriver:
    def __init__(self, port):
        self.base = f"http://127.0.0.1:{port}"
        caps = {"capabilities": {"alwaysMatch": {"browserName": "chrome", "goog:chromeOptions": {
            "binary": "/usr/bin/chromium",
            "args": ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--disable-dev-shm-usage", f"--user-data-dir={tempfile.mkdtemp(prefix='tessaro-chrome-')}"]}}}}
        self.session = self.call("POST", "/session", caps)["sessionId"]
        # Under load (sanitizer builds, parallel tests) a page may still be
        # loading after a click: element look-ups wait for it.
        self.s("POST", "/timeouts", {"implicit": 15000, "pageLoad": 60000})

    def call(self, method, path, body=None):
        data = json.dumps(body).encode() if body is not None else None
        req = urllib.request.Request(self.base + path, data=data, method=method,
                                     headers={"Content-Type": "application/json"})
        with urllib.request.urlopen(req, timeout=60) as answer:
            return json.loads(answer.read().decode())["value"] if method != "DELETE" else None

    def s(self, method, path, body=None):
        return self.call(method, f"/session/{self.session}{path}", body)

    def go(self, url):
        self.s("POST", "/url", {"url": url})

    def element(self, css):
        found = self.s("POST", "/element", {"using": "css selector", "value": css})
        return next(iter(found.values()))

    def type(self, css, text):
        self.s("POST", f"/element/{self.element(css)}/value", {"text": text})

    def click(self, css):
        self.s("POST", f"/element/{self.element(css)}/click", {})

    def text(self, css):
        return self.s("GET", f"/element/{self.element(css)}/text")

    def cookies(self):
        return {c["name"]: c["value"] for c in self.s("GET", "/cookie")}

    def quit(self):
        try:
            self.call("DELETE", f"/session/{self.session}")
        except Exception:
            pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cgi", required=True)
    parser.add_argument("--source", required=True)
    args = parser.parse_args()

    portal = tempfile.mkdtemp(prefix="tessaro-browser-")
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

        web_port, driver_port = free_port(), free_port()
        processes.append(subprocess.Popen(
            [os.path.join(args.source, "scripts", "serve"), portal, str(web_port), "--foreground"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        processes.append(subprocess.Popen(["/usr/bin/chromedriver", f"--port={driver_port}"],
                                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        wait_for_port(web_port)
        wait_for_port(driver_port)
        driver = WebDriver(driver_port)
        portal_url = f"http://127.0.0.1:{web_port}/tessaro.cgi"

        driver.go(portal_url + "/zntest?x=1")
        assert "ZNKSESSIONID" in driver.cookies(), driver.cookies()
        driver.type("input[name=USRNAME]", "quokka")
        driver.type("input[name=PSWD]", "wrong")
        driver.click("#send")
        assert driver.text("p#bad:not(:empty)") == "Wrong name or password", driver.text("#bad")
        assert "ZNKCGIUSERID" not in driver.cookies()

        driver.type("input[name=USRNAME]", "quokka")
        driver.type("input[name=PSWD]", "pelican")
        driver.click("#send")
        assert driver.text("#ok") == "Login accepted.", driver.s("GET", "/source")
        cookies = driver.cookies()
        assert cookies.get("ZNKCGIUSERID") == "TEST", cookies

        driver.click("#next")
        deadline = time.time() + 30
        while driver.s("GET", "/url") != portal_url + "/zntest?x=1" and time.time() < deadline:
            time.sleep(0.1)
        url = driver.s("GET", "/url")
        assert url == portal_url + "/zntest?x=1", url
        assert "Neplatn" in driver.s("GET", "/source"), driver.s("GET", "/source")
        print("1 passed, 0 failed")
        return 0
    except Exception as error:  # report and fail
        print(f"browser login test failed: {error!r}", file=sys.stderr)
        if driver:
            try:
                print("page at failure:", driver.s("GET", "/source")[:2000], file=sys.stderr)
            except Exception:
                pass
        print("0 passed, 1 failed")
        return 1
    finally:
        if driver:
            driver.quit()
        for p in processes:
            p.terminate()
            try:
                p.wait(timeout=10)
            except subprocess.TimeoutExpired:
                p.kill()
        shutil.rmtree(portal, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
