#!/usr/bin/env python3
"""The salesperson filters, sorts and pages the demo's list of orders.

Builds the demo folder, serves it with lighttpd on a free loopback port and
drives headless Chromium through Selenium: the salesperson logs in and opens
the orders five a page; a text filter keeps one customer's orders; the sort
form orders them by state and then by customer, descending; the pager's next,
previous and last links page through that order; the products' list shows
its pictures as thumbnails. With TESSARO_SCREENSHOTS set, screenshots land
there.

    /usr/bin/python3 list_page_browser_test.py --cgi BUILD/tessaro.cgi --source SOURCE_DIR
"""
import os
import sys

from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import Select, WebDriverWait

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from login_browser_test import click, run_demo_journey, screenshot, type_into  # noqa: E402

ORDERS = "%7BDE000004-0000-4000-8000-000000000004%7D"


def rows(driver):
    """The (number, customer, state) of every row of the records table."""
    result = []
    for row in driver.find_elements(By.CSS_SELECTOR, "#records tbody tr"):
        cells = [cell.text for cell in row.find_elements(By.TAG_NAME, "td")]
        result.append((cells[0], cells[1], cells[3]))
    return result


def numbers(driver):
    return [number[-3:] for number, _, _ in rows(driver)]


def submit(driver, form):
    """Sends a form by its button and waits for the new page."""
    old = driver.find_element(By.CSS_SELECTOR, "#records")
    click(driver, f"form[name={form}] input[type=submit]")
    WebDriverWait(driver, 30).until(lambda d: _stale(old) and _loaded(d))


def _loaded(driver):
    """The new page is complete and has its records."""
    return (driver.execute_script("return document.readyState") == "complete"
            and bool(driver.find_elements(By.CSS_SELECTOR, "#records")))


def _stale(element):
    try:
        element.is_enabled()
        return False
    except Exception:  # the page was replaced
        return True


def follow(driver, text):
    old = driver.find_element(By.CSS_SELECTOR, "#records")
    driver.find_element(By.XPATH, f"//form[@name='frm_goto']//a[text()='{text}']").click()
    WebDriverWait(driver, 30).until(lambda d: _stale(old) and _loaded(d))


def journey(driver, portal_url):

    # Five orders a page, newest first; the total row sums every order.
    driver.get(portal_url + "/ShowList?ID=" + ORDERS + "&rows=5")
    assert driver.find_element(By.TAG_NAME, "h1").text == "Objednávky", driver.page_source
    assert numbers(driver) == ["015", "014", "013", "012", "011"], numbers(driver)
    total = driver.find_element(By.CSS_SELECTOR, "#records tfoot").text.replace("\xa0", " ").strip()
    assert total == "140 296,50 Kč", total
    screenshot(driver, "list-orders.png")

    # A text filter: one customer's orders, newest first, on one page.
    type_into(driver, "input[name=HLEDAT]", "Růžička")
    submit(driver, "frm_filter")
    assert numbers(driver) == ["015", "010", "004", "001"], numbers(driver)
    assert not driver.find_elements(By.CSS_SELECTOR, "form[name=frm_goto]"), "one page has no pager"
    driver.find_element(By.CSS_SELECTOR, "input[name=HLEDAT]").clear()
    submit(driver, "frm_filter")
    assert numbers(driver) == ["015", "014", "013", "012", "011"], numbers(driver)

    # Two sort levels: by state, then by customer descending.
    Select(driver.find_element(By.NAME, "sort_by0")).select_by_visible_text("Stav")
    Select(driver.find_element(By.NAME, "sort_by1")).select_by_visible_text("Zákazník")
    driver.find_element(By.NAME, "sort_desc1").click()
    submit(driver, "frm_sort")
    first = rows(driver)
    assert [state for _, _, state in first] == ["Nová"] * 2 + ["Odeslaná"] * 3, first
    assert [n[-3:] for n, _, _ in first[:2]] == ["014", "015"], first
    assert first[2][1].startswith("Zahradnictví"), first
    screenshot(driver, "list-sorted.png")

    # The next page, back, and the last page keep the filter and the sorting.
    follow(driver, ">")
    second = rows(driver)
    assert [state for _, _, state in second] == ["Odeslaná"] * 5, second
    assert not set(second) & set(first), (first, second)
    assert second[-1][1].startswith("Hobby") or second[-1][1].startswith("Botanická"), second
    screenshot(driver, "list-page2.png")
    follow(driver, "<")
    assert rows(driver) == first, (rows(driver), first)
    follow(driver, ">|")
    last = [state for _, _, state in rows(driver)]
    assert last == ["Odeslaná", "Stornovaná", "Vyřizuje se", "Vyřizuje se", "Vyřizuje se"], last

    # The products' list shows their stored pictures as thumbnails, and
    # the default picture for the product without one it can show.
    driver.get(portal_url + "/ShowList?ID=%7BDE000004-0000-4000-8000-000000000005%7D")
    WebDriverWait(driver, 30).until(lambda d: d.execute_script(
        "return Array.from(document.querySelectorAll('#records img')).every(i => i.complete)"))
    sizes = driver.execute_script(
        "return Array.from(document.querySelectorAll('#records img')).map(i => [i.naturalWidth, i.naturalHeight])")
    assert len(sizes) >= 7 and all(0 < w <= 64 and 0 < h <= 64 for w, h in sizes), sizes
    screenshot(driver, "list-products.png")


if __name__ == "__main__":
    sys.exit(run_demo_journey("list page", journey))
