"""Headless Chromium through Debian's chromium-driver, for the viewer page's
tests and the documents' screenshots: no network, no first-run work, a fresh
profile every time, the browser's console and network events logged."""
import os
import shutil
import tempfile

CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"


def missing():
    """What is missing to run the browser, or None."""
    for path in (CHROMIUM, CHROMEDRIVER):
        if not os.access(path, os.X_OK):
            return f"no {path} (Debian packages chromium and chromium-driver)"
    try:
        import selenium  # noqa: F401
    except ImportError:
        return "no selenium module (Debian package python3-selenium)"
    return None


class Browser:
    def __init__(self, width=1280, height=900):
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
        self.profile = tempfile.mkdtemp(prefix="mt-viewer-profile-")
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
                     "--disable-component-update", "--disable-sync", "--no-first-run",
                     "--disable-dev-shm-usage", f"--window-size={width},{height}",
                     f"--user-data-dir={self.profile}"):
            options.add_argument(flag)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL", "performance": "ALL"})
        self.driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
        self.driver.get("about:blank")  # off the new-tab page and whatever it loads

    def close(self):
        self.driver.quit()
        shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
