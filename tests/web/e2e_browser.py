#!/usr/bin/python3
"""The instrument's web page in a real browser: Debian's chromium, driven by
chromium-driver through python3-selenium, against
`g740demo --headless --http 0 --remote 0` on the stand-in module.

Runs inside a private network and mount namespace of its own (as root);
without root it reports itself skipped (exit code 77).

Usage: e2e_browser.py PATH_TO_G740DEMO [SCREENSHOT_DIR]
"""
import http.server
import os
import sys
import tempfile
import threading
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from webpage import Scpi, enter_namespace, make_browser, start_program  # noqa: E402

PROGRAM = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else "g740demo"
SHOTS = sys.argv[2] if len(sys.argv) > 2 else ""


class Page(unittest.TestCase):
    language = []

    @classmethod
    def setUpClass(cls):
        cls.directory = tempfile.TemporaryDirectory()
        cls.settings = os.path.join(cls.directory.name, "G740Config.ini")
        cls.addClassCleanup(cls.directory.cleanup)
        cls.process, cls.port, cls.remote = start_program(PROGRAM, cls.settings, *cls.language)
        # Ended even when the rest of the set-up fails: it holds the module.
        cls.addClassCleanup(cls.endProgram)
        cls.url = "http://127.0.0.1:%d/" % cls.port
        cls.browser = make_browser(1280, 1000)
        cls.addClassCleanup(cls.browser.quit)
        cls.scpi = Scpi(cls.remote)
        cls.addClassCleanup(cls.scpi.close)

    @classmethod
    def endProgram(cls):
        cls.process.terminate()
        cls.process.wait(10)
        cls.process.stderr.close()

    def setUp(self):
        self.scpi.write("OUTP OFF;*RST;*CLS")
        self.browser.get(self.url)
        self.wait_text("actual-StartFrequency", "9.9987 ")

    def wait(self, condition, what, seconds=15):
        # The page builds its controls from its first state: until then an
        # element may not be there yet. `what` may be worked out at the end.
        from selenium.common.exceptions import NoSuchElementException
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            try:
                if condition():
                    return
            except NoSuchElementException:
                pass
            time.sleep(0.02)
        self.fail("timed out waiting for " + (what() if callable(what) else what))

    def element(self, id_):
        from selenium.webdriver.common.by import By
        return self.browser.find_element(By.ID, id_)

    def wait_text(self, id_, start):
        self.wait(lambda: self.element(id_).text.startswith(start),
                  lambda: "%s to show %r (shows %r)" % (id_, start, self.element(id_).text))

    def wait_value(self, id_, value):
        self.wait(lambda: self.element(id_).get_attribute("value") == value,
                  lambda: "%s to hold %r (holds %r)" % (id_, value, self.element(id_).get_attribute("value")))

    def screenshot(self, name, width, height):
        if not SHOTS:
            return
        os.makedirs(SHOTS, exist_ok=True)
        self.browser.set_window_size(width, height)
        self.browser.get(self.url)
        self.wait_text("actual-StartFrequency", "9.9987")
        time.sleep(0.3)
        total = self.browser.execute_script("return document.documentElement.scrollHeight")
        self.browser.set_window_size(width, min(total + 140, 4000))
        time.sleep(0.3)
        self.browser.save_screenshot(os.path.join(SHOTS, name))
        self.browser.set_window_size(1280, 1000)


class RussianPage(Page):
    def test_a_screenshots(self):
        self.screenshot("web-ru-desktop.png", 1280, 900)
        self.screenshot("web-ru-phone.png", 390, 844)

    def test_desired_and_produced(self):
        from selenium.webdriver.common.keys import Keys
        self.assertEqual(self.browser.find_element("tag name", "html").get_attribute("lang"), "ru")
        self.assertEqual(self.element("field-StartFrequency").get_attribute("value"), "10.0000")
        field = self.element("field-StartFrequency")
        # Typed over, as a person does: WebDriver's clear() would send the
        # empty field as a change of its own, whose answer may land between
        # the clear and the typing.
        field.send_keys(Keys.CONTROL + "a" + Keys.NULL + "25000" + Keys.ENTER)
        self.wait_text("actual-StartFrequency", "25000.0000")
        self.wait_text("produced-StartFrequency", "25000.0000")
        # The change reached the instrument the SCPI side uses.
        self.assertEqual(float(self.scpi.query("FREQ:STAR:DES?")), 25000000.0)

    def test_refusal_is_shown(self):
        from selenium.webdriver.common.keys import Keys
        field = self.element("field-NumberOfIncrements")
        field.send_keys(Keys.CONTROL + "a" + Keys.NULL + "99999" + Keys.ENTER)
        self.wait(lambda: self.element("message").get_attribute("class") == "error", "an error message")
        self.assertEqual(self.scpi.query("SWE:STEP?"), "10")

    def test_start_stop_with_keyboard(self):
        from selenium.webdriver.common.keys import Keys
        start = self.element("start")
        start.send_keys(Keys.ENTER)
        self.wait(lambda: self.scpi.query("OUTP?") == "1", "the generator to run")
        self.wait(lambda: not self.element("stop").get_attribute("disabled"), "stop to be enabled")
        self.assertTrue(self.element("field-StartFrequency").get_attribute("disabled"))
        self.element("stop").click()
        self.wait(lambda: self.scpi.query("OUTP?") == "0", "the generator to stop")
        self.wait(lambda: not self.element("start").get_attribute("disabled"), "start to be enabled")

    def test_scpi_change_appears(self):
        self.scpi.write("FREQ:STAR 12 KHZ")
        self.wait_value("field-StartFrequency", "12.0000")
        self.scpi.write("OUTP ON")
        self.wait(lambda: self.element("run-state").get_attribute("class") == "run running", "the running state")
        self.scpi.write("OUTP OFF")

    def test_set_saved_is_listed(self):
        self.element("set-name").send_keys("Страница 1")
        self.element("set-save").click()
        self.wait(lambda: "Страница 1" in self.scpi.query("MEM:CAT?"), "the set in MEM:CAT?")
        self.wait(lambda: "Страница 1" in self.element("set-list").text, "the set in the page's list")

    def test_cross_site_form_post_is_refused(self):
        attacker = """<html><body><form id="f" method="POST" action="%sapi/record"
            enctype="text/plain"><input name='{"StartFrequency":1,"x":"' value='"}'></form>
            <script>fetch("%sapi/start", {method: "POST", mode: "no-cors", body: "{}"});
            document.getElementById("f").submit();</script></body></html>""" % (self.url, self.url)

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                self.send_response(200)
                self.send_header("Content-Type", "text/html")
                self.end_headers()
                self.wfile.write(attacker.encode())

            def log_message(self, *args):
                pass

        # Threads: the browser may hold an idle connection open beside the real one.
        server = http.server.ThreadingHTTPServer(("127.0.0.2", 0), Handler)
        server.daemon_threads = True
        thread = threading.Thread(target=server.serve_forever, daemon=True)
        thread.start()
        try:
            self.browser.get("http://127.0.0.2:%d/" % server.server_port)
            self.wait(lambda: "api/record" in self.browser.current_url, "the form to be posted")
            self.assertIn("Запрос отклонён", self.browser.page_source)
        finally:
            server.shutdown()
            server.server_close()
        self.assertEqual(float(self.scpi.query("FREQ:STAR:DES?")), 10000.0)
        self.assertEqual(self.scpi.query("OUTP?"), "0")


class EnglishPage(Page):
    language = ["--lang", "en"]

    def test_a_screenshots(self):
        self.screenshot("web-en-desktop.png", 1280, 900)
        self.screenshot("web-en-phone.png", 390, 844)

    def test_english(self):
        self.assertEqual(self.browser.find_element("tag name", "html").get_attribute("lang"), "en")
        self.assertEqual(self.element("start").text, "Start generator")
        self.assertEqual(self.element("record-title").text, "Generator parameters")


if __name__ == "__main__":
    enter_namespace(__file__, ("chromium", "chromedriver"))
    unittest.main(argv=sys.argv[:1], verbosity=2)
