#!/usr/bin/env python3
"""The salesperson opens a new order from the list, takes it over and notes it.

Builds and serves the demo folder and drives headless Chromium through
Selenium: from the orders list the "Otevřít" link of a new order opens the
page for new orders (the detail page switch by state); its button asks for
confirmation and runs the SQL action, after which the order's regular page
shows the new state; there the note form runs the note plug-in's action,
and the page the visitor returns to shows its message and the note's count.
With TESSARO_SCREENSHOTS set, screenshots land there.

    /usr/bin/python3 action_browser_test.py --cgi BUILD/tessaro.cgi --source SOURCE_DIR
"""
import os
import sys

from selenium.common.exceptions import NoSuchElementException, StaleElementReferenceException
from selenium.webdriver.common.by import By
from selenium.webdriver.support import expected_conditions
from selenium.webdriver.support.ui import WebDriverWait

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from login_browser_test import click, run_demo_journey, screenshot, text_of, type_into  # noqa: E402

ORDERS = "%7BDE000004-0000-4000-8000-000000000004%7D"


def wait_until(driver, condition):
    """Waits for `condition`; a page that is replaced while it is read
    (a stale or missing element) only means: not yet."""
    WebDriverWait(driver, 30, ignored_exceptions=(StaleElementReferenceException, NoSuchElementException)).until(
        condition)


def heading(text):
    return lambda d: d.find_element(By.TAG_NAME, "h1").text == text


def journey(driver, portal_url):

    # The newest order is new: its link opens the page for new orders.
    driver.get(portal_url + "/ShowList?ID=" + ORDERS)
    first_row = driver.find_element(By.CSS_SELECTOR, "#records tbody tr")
    assert first_row.find_element(By.TAG_NAME, "td").text == "OBJ-2026-015", first_row.text
    first_row.find_element(By.LINK_TEXT, "Otevřít").click()
    wait_until(driver, heading("Nová objednávka"))
    assert text_of(driver, "#state") == "Nová", text_of(driver, "#state")
    screenshot(driver, "action-new-order.png")

    # Taking it over asks first, then shows the order's regular page.
    click(driver, "#prevzit")
    WebDriverWait(driver, 10).until(expected_conditions.alert_is_present())
    alert = driver.switch_to.alert
    assert alert.text == "Převzít objednávku k vyřízení?", alert.text
    alert.accept()
    wait_until(driver, heading("Objednávka"))
    assert text_of(driver, "#state") == "Vyřizuje se", text_of(driver, "#state")
    assert text_of(driver, "#notes") == "0", text_of(driver, "#notes")

    # The note plug-in writes the note; back on the page, its message.
    type_into(driver, "#note", "Zavolat zákazníkovi před odesláním")
    click(driver, "#ulozit")
    wait_until(driver, lambda d: d.find_element(By.ID, "actionresult").text != "")
    assert text_of(driver, "#actionresult") == "Poznámka uložena.", text_of(driver, "#actionresult")
    assert text_of(driver, "#notes") == "1", text_of(driver, "#notes")
    assert driver.find_element(By.TAG_NAME, "h1").text == "Objednávka"
    screenshot(driver, "action-noted.png")

    # The list shows the order's new state.
    click(driver, "#seznam")
    wait_until(driver, heading("Objednávky"))
    cells = driver.find_element(By.CSS_SELECTOR, "#records tbody tr").find_elements(By.TAG_NAME, "td")
    assert [cells[0].text, cells[3].text] == ["OBJ-2026-015", "Vyřizuje se"], [c.text for c in cells]


if __name__ == "__main__":
    sys.exit(run_demo_journey("record action", journey))
