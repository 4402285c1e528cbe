#!/usr/bin/env python3
"""The world table's page in a real browser: headless Chromium, driven through ChromeDriver's
WebDriver protocol, at a desktop's 1280 pixels and a phone's 390. The table must never be wider
than the window (no column cut off), a name of the longest kind must end in an ellipsis inside
its cell, and the page must name the game and carry its link preview. Screenshots of both
widths are kept for a person to look at.

Usage: world_page_browser.py SERVER_BINARY BUILD_DIR SHOTS_DIR
Exit status 77 (a skip) when Chromium or ChromeDriver is not installed.
"""
import base64
import json
import os
import shutil
import socket
import sqlite3
import subprocess
import sys
import tempfile
import time
import urllib.request

CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for_port(port, seconds=20):
    end = time.time() + seconds
    while time.time() < end:
        try:
            socket.create_connection(("127.0.0.1", port), timeout=0.2).close()
            return True
        except OSError:
            time.sleep(0.1)
    return False


def webdriver(port, method, path, body=None):
    data = json.dumps(body).encode() if body is not None else None
    request = urllib.request.Request(f"http://127.0.0.1:{port}{path}", data=data, method=method,
                                     headers={"Content-Type": "application/json"})
    with urllib.request.urlopen(request, timeout=60) as answer:
        return json.loads(answer.read())["value"]


def start_server(binary, build, db, port, log):
    process = subprocess.Popen([binary, "--port", str(port), "--db", db, "--data", build],
                               stderr=log)
    if not wait_for_port(port):
        process.kill()
        raise SystemExit("the score server did not start")
    return process


# Rows as the game sends them: code page 1251 names and countries, the longest name the server
# keeps (32 bytes) among them.
ROWS = [
    ("Екатерина", 68300, "Россия", 10),
    ("Александр Константинопольский 1", 61250, "Республика Беларусь", 10),
    ("ШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШ", 45020, "Қазақстан", 9),
    ("Bob", 30990, "United Kingdom of Great Britain", 7),
    ("Оля", 12000, "", 4),
    ("<script>alert(1)</script>", 9000, "&amp;", 3),
]


def fill(db):
    connection = sqlite3.connect(db)
    for i, (name, score, country, level) in enumerate(ROWS):
        connection.execute(
            "INSERT INTO scores (name, score, country, received, level, proven, address, digest)"
            " VALUES (?, ?, ?, ?, ?, 1, '127.0.0.1', ?)",
            (name.encode("cp1251", "replace")[:32], score,
             country.encode("cp1251", "replace")[:32], 1796774400 + i * 86400, level, f"d{i}"))
    connection.commit()
    connection.close()


MEASURE = """
const table = document.querySelector('table');
const name = document.querySelectorAll('td.who .name')[2];
const cells = [...document.querySelectorAll('th, td')];
return {
  innerWidth: window.innerWidth,
  scrollWidth: document.documentElement.scrollWidth,
  tableRight: table.getBoundingClientRect().right,
  rightmost: Math.max(...cells.map(c => c.getBoundingClientRect().right)),
  nameCut: name.scrollWidth > name.clientWidth,
  nameEllipsis: getComputedStyle(name).textOverflow,
  nameRight: name.getBoundingClientRect().right,
  nameCellRight: name.closest('td').getBoundingClientRect().right,
  heading: document.querySelector('h1').textContent,
  body: document.body.innerText,
  ogTitle: (document.querySelector('meta[property="og:title"]') || {}).content,
  ogDescription: (document.querySelector('meta[property="og:description"]') || {}).content,
  dates: [...document.querySelectorAll('td.date')].map(d => d.getBoundingClientRect().right),
  rows: document.querySelectorAll('tbody tr').length,
  scripts: document.querySelectorAll('body script').length,
};
"""


def main():
    if len(sys.argv) != 4:
        raise SystemExit(__doc__)
    binary, build, shots = sys.argv[1:]
    if not (os.access(CHROMIUM, os.X_OK) and os.access(CHROMEDRIVER, os.X_OK)):
        print("skipped: Chromium and ChromeDriver are not installed (scripts/install-deps.sh)")
        return 77
    os.makedirs(shots, exist_ok=True)
    work = tempfile.mkdtemp(prefix="vrumbal-page-")
    processes = []
    failures = []
    try:
        log = open(os.path.join(work, "server.log"), "w")
        db = os.path.join(work, "scores.db")
        port = free_port()
        first = start_server(binary, build, db, port, log)  # it makes the tables
        first.terminate()
        first.wait(10)
        fill(db)
        processes.append(start_server(binary, build, db, port, log))
        driver_port = free_port()
        processes.append(subprocess.Popen([CHROMEDRIVER, f"--port={driver_port}"],
                                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        if not wait_for_port(driver_port):
            raise SystemExit("ChromeDriver did not start")
        args = ["--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
                "--no-first-run", "--disable-background-networking",
                "--disable-component-update", "--disable-sync", "--hide-scrollbars",
                f"--user-data-dir={os.path.join(work, 'profile')}"]
        session = webdriver(driver_port, "POST", "/session", {"capabilities": {"alwaysMatch": {
            "browserName": "chrome",
            "goog:chromeOptions": {"binary": CHROMIUM, "args": args}}}})["sessionId"]
        base = f"/session/{session}"
        page = f"http://127.0.0.1:{port}/cgi/version.pl?prg=Drovix&show&type=0"
        for width in (1280, 390):
            webdriver(driver_port, "POST", f"{base}/window/rect", {"width": width, "height": 900})
            webdriver(driver_port, "POST", f"{base}/url", {"url": page})
            m = webdriver(driver_port, "POST", f"{base}/execute/sync",
                          {"script": MEASURE, "args": []})
            shot = base64.b64decode(webdriver(driver_port, "GET", f"{base}/screenshot"))
            with open(os.path.join(shots, f"world-page-{width}.png"), "wb") as out:
                out.write(shot)

            def check(ok, what):
                if not ok:
                    failures.append(f"{width} px: {what}: {json.dumps(m, ensure_ascii=False)[:600]}")

            check(abs(m["innerWidth"] - width) <= 16, "the window is not the width asked for")
            check(m["scrollWidth"] <= m["innerWidth"], "the page is wider than the window")
            check(m["rightmost"] <= m["innerWidth"] + 0.5, "a cell reaches past the window")
            check(all(d <= m["innerWidth"] for d in m["dates"]), "a date is cut off")
            check(m["nameCut"] and m["nameEllipsis"] == "ellipsis",
                  "the longest name does not end in an ellipsis")
            check(m["nameRight"] <= m["nameCellRight"] + 0.5, "the longest name leaves its cell")
            check(m["rows"] == len(ROWS), "not every row is shown")
            check(m["scripts"] == 0 and "<script>" in m["body"], "a name was not shown as text")
            check("Vrumbal" in m["heading"] and "мотогонки" in m["body"],
                  "the page does not name the game")
            check(bool(m["ogTitle"]) and bool(m["ogDescription"]),
                  "no Open Graph title and description")
        webdriver(driver_port, "DELETE", base)
    finally:
        for p in processes:
            p.terminate()
            try:
                p.wait(10)
            except subprocess.TimeoutExpired:
                p.kill()
        shutil.rmtree(work, ignore_errors=True)
    for failure in failures:
        print(failure)
    print(f"screenshots in {shots}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
