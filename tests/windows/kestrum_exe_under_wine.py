#!/usr/bin/env python3
"""The real Kestrum.exe under wine, driven as an operator would.

On a private X server, with Qt's windows platform plugin, against the cards
that scripts/windows-tests.sh started with cardsim on its card LANs: a click
on the search button lists every card once, a click on a row fills the panel
with that card, a new address typed into the panel and 修改 answered with
Yes gives 修改成功, and the next search finds the card at its new address.
Then once more with "Kestrum.exe --lang en", by the English texts.

The window gets real X input (xdotool). What it shows is read from the
widgets themselves by the probe style that Qt loads into the program with
its own "-style kestrumprobe" option, which writes it to a file every 200 ms.

  kestrum_exe_under_wine.py BIN_DIR SCREENSHOT IP...   (the IPs of the cards)

Runs only inside the network namespace the script made: it refuses when
any interface but lo and the script's own kv... ones is visible.
"""

import json
import os
import subprocess
import sys
import tempfile
import time

LIST_TIMEOUT = 20.0

# What the window says, in each language (the English as its catalogue has
# it), the option that chooses the language, and the last octet each run
# gives the card it changes.
LANGUAGES = {
    "zh": {"option": [], "count": "屏幕总数", "question": "确定要修改参数吗", "changed": "修改成功",
           "failed": "修改失败", "octet": "170"},
    "en": {"option": ["--lang", "en"], "count": "Screens: ", "question": "Change the card's settings?",
           "changed": "Changed", "failed": "Change failed", "octet": "171"},
}


def refuse_outside_private_network():
    # ip asks the kernel for this namespace's links; /sys may still show the
    # machine's own.
    links = subprocess.run(["ip", "-o", "link", "show"], capture_output=True, text=True, check=True).stdout
    interfaces = sorted(line.split(": ")[1].split("@")[0] for line in links.splitlines())
    foreign = [name for name in interfaces if name != "lo" and not name.startswith("kv")]
    if foreign or "lo" not in interfaces:
        sys.exit(f"kestrum.exe test: refusing to run outside the private network (interfaces: {interfaces})")


class Window:
    """Kestrum.exe on a private X server, and what its probe last wrote."""

    def __init__(self, bin_dir, work, option):
        self.probe_file = os.path.join(work, "probe.json")
        self.display = self._start_x_server()
        env = dict(os.environ, DISPLAY=self.display, KESTRUM_WINDOW_PROBE="Z:" + self.probe_file)
        self.program = subprocess.Popen(
            ["wine", os.path.join(bin_dir, "Kestrum.exe"), "-style", "kestrumprobe", *option],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # wine may take 20 s and more to start a program in a busy prefix.
        self.wait_for(lambda shown: "title" in shown, "the window to show", timeout=120)

    def _start_x_server(self):
        for number in range(90, 110):
            if os.path.exists(f"/tmp/.X11-unix/X{number}"):
                continue
            self.x_server = subprocess.Popen(["Xvfb", f":{number}", "-screen", "0", "1024x640x24", "-noreset"],
                                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            for _ in range(50):
                if os.path.exists(f"/tmp/.X11-unix/X{number}"):
                    return f":{number}"
                time.sleep(0.1)
            self.x_server.kill()
        sys.exit("kestrum.exe test: no private X server could be started")

    def close(self):
        for process in (getattr(self, "program", None), getattr(self, "x_server", None)):
            if process is not None and process.poll() is None:
                process.kill()
                process.wait()
        # wine's desktop belongs to this X server: it goes too, so that the
        # next start gets one on its own.
        subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], stderr=subprocess.DEVNULL)

    def shown(self):
        try:
            with open(self.probe_file, encoding="utf-8") as file:
                return json.load(file)
        except (OSError, ValueError):
            return {}

    def wait_for(self, condition, what, timeout=LIST_TIMEOUT):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            shown = self.shown()
            if shown and condition(shown):
                return shown
            time.sleep(0.2)
        raise AssertionError(f"timed out waiting for {what}; the window shows: {json.dumps(self.shown(), ensure_ascii=False)}")

    def xdotool(self, *arguments):
        subprocess.run(["xdotool", *arguments], env=dict(os.environ, DISPLAY=self.display), check=True)

    def click(self, centre):
        self.xdotool("mousemove", str(centre[0]), str(centre[1]), "click", "1")

    def screenshot(self, path):
        window_id = subprocess.run(["xdotool", "search", "--name", self.shown()["title"]], capture_output=True,
                                   text=True, env=dict(os.environ, DISPLAY=self.display), check=True).stdout.split()[0]
        subprocess.run(["import", "-display", self.display, "-window", window_id, path], check=True)


def ip_of(row):
    return row["cells"][2]


def mac_of(row):
    return row["cells"][5]


def search(window, expected_count, texts):
    """Presses the search button; returns the rows once the count is shown."""
    window.wait_for(lambda shown: shown["buttons"]["btnControlSearch"]["enabled"], "the search button")
    window.click(window.shown()["buttons"]["btnControlSearch"]["centre"])
    # The status names the count when the search is over.
    count = texts["count"]
    shown = window.wait_for(lambda shown: shown["status"].startswith(count)
                            and len(shown["rows"]) == int(shown["status"][len(count):] or -1),
                            "the search to end")
    rows = shown["rows"]
    assert len(rows) == expected_count, f"{len(rows)} rows for {expected_count} cards: {rows}"
    # Cards on different LANs may share a MAC; a card listed twice repeats both.
    cards = [(ip_of(row), mac_of(row)) for row in rows]
    assert len(set(cards)) == len(cards), f"a card is listed twice: {cards}"
    return rows


def check(name, step):
    try:
        step()
        print(f"kestrum.exe check {name}: ok")
        return True
    except AssertionError as failure:
        print(f"kestrum.exe check {name}: FAILED: {failure}")
        return False


def run(bin_dir, screenshot, expected_ips, language):
    """Returns how many checks passed and how many failed, and the cards' IPs after the run."""
    texts = LANGUAGES[language]
    work = tempfile.mkdtemp(prefix="kestrum-exe-")
    window = Window(bin_dir, work, texts["option"])
    state = {}
    try:
        def first_search():
            rows = search(window, len(expected_ips), texts)
            assert sorted(ip_of(row) for row in rows) == sorted(expected_ips), rows
            state["rows"] = rows

        def a_row_fills_the_panel():
            # A card other than the first, which the search selected itself.
            row_index = next(i for i, row in enumerate(state["rows"]) if i > 0 and ip_of(row).startswith("192.168.88."))
            row = state["rows"][row_index]
            window.click(row["centre"])
            shown = window.wait_for(lambda shown: shown["selectedRow"] == row_index, "the row to be selected")
            panel = shown["panel"]
            assert (panel["ipdt_ip"], panel["ControlMac"]) == (ip_of(row), mac_of(row)), (panel, row)
            state["card"] = row
            window.screenshot(screenshot)

        def a_confirmed_change_succeeds():
            card = state["card"]
            new_ip = card["cells"][2].rsplit(".", 1)[0] + "." + texts["octet"]
            panel = window.shown()["panel"]
            # The last octet of the IP edit: a double click selects it, the
            # typed digits replace it.
            left, top = panel["ipdt_ipCentre"]
            window.xdotool("mousemove", str(left + 44), str(top), "click", "--repeat", "2", "1")
            window.xdotool("type", "--delay", "50", texts["octet"])
            window.wait_for(lambda shown: shown["panel"]["ipdt_ip"] == new_ip, f"the IP edit to show {new_ip}")
            window.click(window.shown()["buttons"]["btnModify"]["centre"])
            window.wait_for(lambda shown: any(box["text"] == texts["question"] for box in shown["messageBoxes"]),
                            "the question " + texts["question"])
            window.xdotool("key", "Return")  # Yes is the default button
            shown = window.wait_for(lambda shown: shown["status"] in (texts["changed"], texts["failed"]),
                                    "the change's outcome")
            assert shown["status"] == texts["changed"], shown["status"]
            state["new_ip"] = new_ip

        def the_next_search_finds_the_new_address():
            rows = search(window, len(expected_ips), texts)
            # Another LAN's card may have the same MAC: look on the card's own.
            subnet = ip_of(state["card"]).rsplit(".", 1)[0] + "."
            changed = [row for row in rows if mac_of(row) == mac_of(state["card"]) and ip_of(row).startswith(subnet)]
            assert [ip_of(row) for row in changed] == [state["new_ip"]], changed

        steps = [("the search lists every card once", first_search),
                 ("a selected row fills the panel", a_row_fills_the_panel),
                 ("a confirmed change gives " + texts["changed"], a_confirmed_change_succeeds),
                 ("the next search finds the new address", the_next_search_finds_the_new_address)]
        passed = failed = 0
        for name, step in steps:
            if check(f"({language}) {name}", step):
                passed += 1
            else:
                failed += 1
                break  # each step builds on the one before
        failed += len(steps) - passed - failed
        changed = [state["new_ip"] if ip == ip_of(state["card"]) else ip for ip in expected_ips] \
            if "new_ip" in state else expected_ips
        return passed, failed, changed
    finally:
        window.close()


if __name__ == "__main__":
    refuse_outside_private_network()
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    passed = failed = 0
    ips = sys.argv[3:]
    for language in LANGUAGES:
        # The panel's picture of each language: the Chinese one at the path given.
        picture = sys.argv[2] if language == "zh" else sys.argv[2].replace(".png", f"-{language}.png")
        language_passed, language_failed, ips = run(sys.argv[1], picture, ips, language)
        passed, failed = passed + language_passed, failed + language_failed
    print(f"kestrum.exe checks: {passed} passed, {failed} failed")
    sys.exit(0 if failed == 0 else 1)
