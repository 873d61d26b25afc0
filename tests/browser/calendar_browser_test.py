#!/usr/bin/env python3
"""The salesperson fills a date filter of the demo's orders from the calendar.

Builds the demo folder, serves it with lighttpd on a free loopback port and
drives headless Chromium through Selenium: the salesperson logs in, opens the
orders, clicks the calendar button beside the "from" date, moves one month
on in the pop-up and clicks the 15th; the pop-up closes and the field holds
that date, which the filter then applies.

    /usr/bin/python3 calendar_browser_test.py --cgi BUILD/tessaro.cgi --source SOURCE_DIR
"""
import os
import sys

from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from login_browser_test import run_demo_journey  # noqa: E402

ORDERS = "%7BDE000004-0000-4000-8000-000000000004%7D"


def journey(driver, portal_url):
    driver.get(portal_url + "/ShowList?ID=" + ORDERS)
    main_window = driver.current_window_handle

    # The "from" field holds 1.1.2026; its calendar opens on January 2026.
    fields = driver.find_elements(By.CSS_SELECTOR, "input.datum")
    assert len(fields) == 2, driver.page_source
    field = fields[0]
    assert field.get_attribute("value") == "1.1.2026", field.get_attribute("value")
    field.find_element(By.XPATH, "following-sibling::button[1]").click()
    WebDriverWait(driver, 30).until(lambda d: len(d.window_handles) == 2)
    popup = [handle for handle in driver.window_handles if handle != main_window][0]
    driver.switch_to.window(popup)
    WebDriverWait(driver, 30).until(lambda d: d.find_elements(By.CSS_SELECTOR, "td.CalCurrent"))
    assert driver.find_element(By.CSS_SELECTOR, "td.CalCurrent").text == "1", driver.page_source
    assert driver.title.startswith("Kalendář – leden 2026"), driver.title
    # January 2026 starts on a Thursday: three filler cells lead.
    assert len(driver.find_elements(By.CSS_SELECTOR, "tbody tr:first-child td.CalEmpty")) == 3

    # One month on, then the 15th.
    driver.find_element(By.ID, "dalsi").click()
    WebDriverWait(driver, 30).until(lambda d: "únor 2026" in d.title)
    driver.find_element(By.XPATH, "//table[@class='kalendar']//a[text()='15']").click()
    WebDriverWait(driver, 30).until(lambda d: len(d.window_handles) == 1)
    driver.switch_to.window(main_window)
    value = driver.find_element(By.CSS_SELECTOR, "input.datum").get_attribute("value")
    assert value == "15.2.2026", value


if __name__ == "__main__":
    sys.exit(run_demo_journey("calendar", journey))
