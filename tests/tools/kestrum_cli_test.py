#!/usr/bin/env python3
"""kestrum-cli against emulated cards, inside the private network that
scripts/private-lan.sh makes (ctest runs it only there): the three formats
read back with Python's own json and csv parsers, changes by IP and by MAC,
the refusals that send nothing, the history of changes, and diagnose. Every
run keeps its history in a state folder of its own, never the user's.

    kestrum_cli_test.py KESTRUM_CLI CARDSIM [unittest arguments]
"""
import csv
import io
import json
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import unittest

CLI = CARDSIM = ""


def same_namespace(a, b):
    try:
        first, second = os.stat(a), os.stat(b)
    except OSError:
        return False  # as the programs' own guard: then the interfaces decide
    return (first.st_dev, first.st_ino) == (second.st_dev, second.st_ino)


def refuse_outside_private_network():
    """kestrum-cli sends for real: only ever inside the harness's namespace,
    checked as the test programs' own guard checks it."""
    interfaces = sorted(os.listdir("/sys/class/net"))
    own = all(name == "lo" or name.startswith("kv") for name in interfaces)
    if (not os.environ.get("KESTRUM_PRIVATE_LAN") or not own
            or same_namespace("/proc/self/ns/net", "/proc/1/ns/net")):
        sys.exit("kestrum_cli_test: refusing to run outside the private network of "
                 "scripts/private-lan.sh (interfaces: %s)" % " ".join(interfaces))


class Cards:
    """cardsim in the card LAN's namespace, ready once it said so."""

    def __init__(self, cards, *options):
        self.file = tempfile.NamedTemporaryFile("w", suffix=".json", delete=False)
        json.dump(cards, self.file)
        self.file.close()
        command = ["ip", "netns", "exec", os.environ["KESTRUM_LAN1_NS"], CARDSIM,
                   "--cards", self.file.name, "--verbose", *options]
        self.process = subprocess.Popen(command, stdout=subprocess.PIPE, text=True)
        self.lines = []
        for line in self.process.stdout:
            self.lines.append(line)
            if line.startswith("cardsim: ready"):
                return
        raise RuntimeError("cardsim did not become ready")

    def stop(self):
        self.process.send_signal(signal.SIGTERM)
        self.lines += self.process.stdout.readlines()
        self.process.wait(timeout=10)
        self.process.stdout.close()
        os.unlink(self.file.name)
        return "".join(self.lines)


def card(mac, ip="192.168.1.100", type_version="T8-V1.00", **fields):
    record = {"ip": ip, "mask": "255.255.255.0", "gateway": "192.168.1.1", "mac": mac,
              "serverIp": "192.168.1.10", "serverPort": 9000, "heartbeat": 30}
    if isinstance(type_version, bytes):
        record["typeVersionHex"] = type_version.hex()
    else:
        record["typeVersion"] = type_version
    record.update(fields)
    return record


def language_env(**variables):
    """The environment without any language variable but the given ones."""
    env = {k: v for k, v in os.environ.items() if k not in ("LC_ALL", "LC_MESSAGES", "LANG")}
    env.update(variables)
    return env


def cli(*arguments, stdout=subprocess.PIPE, env=None):
    return subprocess.run([CLI, *arguments], stdout=stdout, stderr=subprocess.PIPE, text=True,
                          stdin=subprocess.DEVNULL, timeout=30, env=env)


class KestrumCli(unittest.TestCase):
    def search(self, *options, env=None):
        result = cli("search", "--format", "json", *options, env=env)
        self.assertEqual(result.returncode, 0, result.stderr)
        return {c["mac"]: c for c in json.loads(result.stdout)["cards"]}

    def test_formats_read_back_by_json_and_csv_parsers(self):
        cards = Cards([card("00:1A:4B:00:00:01", "192.168.1.101", "ABCDEFGHIJKLMNOP", scanStyle=21),
                       card("00:1A:4B:00:00:02", "192.168.1.102", "屏号-V1".encode("gb18030")),
                       card("00:1A:4B:00:00:03", "192.168.1.103", 'A,B-V"2'),
                       card("00:1A:4B:00:00:04", "192.168.1.104", "=1\x1b[2J-@S\u202e".encode("gb18030"))])
        try:
            found = self.search(env=language_env(LANG="zh_CN.UTF-8"))
            self.assertEqual(len(found), 4)
            long_text = found["00:1A:4B:00:00:01"]
            self.assertEqual((long_text["type"], long_text["version"]), ("ABCDEFGHIJKLMNOP", ""))
            self.assertEqual((long_text["scanCode"], long_text["scanMode"]),
                             (21, "4扫先8行8折上后16点折（强力P10双色P12双色）"))
            self.assertEqual(len(long_text["record"]), 2 * 83)
            self.assertEqual(bytes.fromhex(long_text["record"])[:16], b"ABCDEFGHIJKLMNOP")
            chinese = found["00:1A:4B:00:00:02"]
            self.assertEqual((chinese["type"], chinese["version"]), ("屏号", "V1"))
            self.assertEqual((chinese["ip"], chinese["serverPort"], chinese["heartbeat"]),
                             ("192.168.1.102", 9000, 30))

            hostile = found["00:1A:4B:00:00:04"]
            self.assertEqual((hostile["type"], hostile["version"]), ("=1\x1b[2J", "@S\u202e"))

            result = cli("search", "--format", "csv", "--no-bom")
            self.assertEqual(result.returncode, 0, result.stderr)
            rows = list(csv.DictReader(io.StringIO(result.stdout, newline="")))
            self.assertEqual(len(rows), 4)
            quoted = next(r for r in rows if r["mac"] == "00:1A:4B:00:00:03")
            self.assertEqual((quoted["type"], quoted["version"]), ("A,B", 'V"2'))
            hostile = next(r for r in rows if r["mac"] == "00:1A:4B:00:00:04")
            self.assertEqual((hostile["type"], hostile["version"]), ("'=1\ufffd[2J", "'@S\ufffd"))
            self.assertTrue(cli("search", "--format", "csv").stdout.startswith("\ufeffnumber,"))
            self.assertEqual(set(rows[0]), set(found["00:1A:4B:00:00:03"]) - {
                "colourCode", "baudCode", "scanCode", "decodingCode", "redGreenCode", "record"})

            # The values follow the system's language, or --lang; keys and codes never change.
            scan_modes = {"1/4 scan, 8 rows 8 folds up, then 16-dot folds (强力 P10 dual-colour, P12 dual-colour)": [
                              ("--lang", "en"), language_env(LANG="zh_CN.UTF-8", LC_ALL="C"),
                              language_env(LANG="zh_CN.UTF-8", LC_MESSAGES="en_GB.UTF-8"), language_env()],
                          "4扫先8行8折上后16点折（强力P10双色P12双色）": [
                              ("--lang=zh",), language_env(LANG="en_GB.UTF-8", LC_ALL="zh_TW.UTF-8")]}
            for scan_mode, ways in scan_modes.items():
                for way in ways:
                    options, env = (way, None) if isinstance(way, tuple) else ((), way)
                    card_seen = self.search(*options, env=env)["00:1A:4B:00:00:01"]
                    self.assertEqual(card_seen["scanMode"], scan_mode, way)
                    self.assertEqual(set(card_seen), set(long_text), way)
                    self.assertEqual(card_seen["scanCode"], 21, way)

            result = cli("search", "--lang", "en")
            self.assertEqual(result.returncode, 0)
            self.assertIn("4 cards found", result.stdout)
            self.assertIn("找到 4 张卡", cli("search", "--lang", "zh").stdout)
            self.assertEqual(cli("search", "--lang", "fr").returncode, 2)
        finally:
            cards.stop()

    def test_set_by_ip_and_by_mac_keeps_what_is_not_given(self):
        cards = Cards([card("00:1A:4B:00:00:01", "192.168.1.101"), card("00:1A:4B:00:00:02", "192.168.1.102")])
        try:
            result = cli("set", "192.168.1.101", "--ip", "192.168.1.201", "--yes", "--format", "json")
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(json.loads(result.stdout)["cards"][0]["ip"], "192.168.1.201")
            result = cli("set", "00:1a:4b:00:00:02", "--heartbeat", "77", "--port", "9100", "--yes")
            self.assertEqual(result.returncode, 0, result.stderr)
            found = self.search()
            first, second = found["00:1A:4B:00:00:01"], found["00:1A:4B:00:00:02"]
            self.assertEqual((first["ip"], first["serverIp"], first["serverPort"], first["heartbeat"]),
                             ("192.168.1.201", "192.168.1.10", 9000, 30))
            self.assertEqual((second["ip"], second["serverPort"], second["heartbeat"]), ("192.168.1.102", 9100, 77))
        finally:
            cards.stop()

    def test_a_change_sent_is_in_the_history_with_its_values_and_outcome(self):
        state = tempfile.mkdtemp(prefix="kestrum-history-")
        env = dict(os.environ, XDG_STATE_HOME=state)
        cards = Cards([card("00:1A:4B:00:00:01", "192.168.1.101"), card("00:1A:4B:00:00:02", "192.168.1.102")])
        try:
            result = cli("set", "00:1A:4B:00:00:02", "--ip", "192.168.1.202", "--gateway", "10.0.0.1",
                         "--heartbeat", "77", "--yes", env=env)
            self.assertEqual(result.returncode, 0, result.stderr)
            refused = cli("set", "192.168.1.101", "--ip", "192.168.1.255", "--yes", env=env)
            self.assertEqual(refused.returncode, 3, refused.stderr)  # nothing sent: nothing recorded
        finally:
            cards.stop()
        try:
            result = cli("history", "--format", "json", env=env)
            self.assertEqual(result.returncode, 0, result.stderr)
            (change,) = json.loads(result.stdout)["changes"]
            self.assertRegex(change["time"], r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d$")
            self.assertEqual((change["program"], change["mac"], change["outcome"]),
                             ("cli", "00:1A:4B:00:00:02", "confirmed"))
            self.assertEqual(change["before"], {"ip": "192.168.1.102", "mask": "255.255.255.0",
                                                "gateway": "192.168.1.1", "serverIp": "192.168.1.10",
                                                "serverPort": 9000, "heartbeat": 30})
            self.assertEqual(change["sent"], {"ip": "192.168.1.202", "mask": "255.255.255.0", "gateway": "10.0.0.1",
                                              "serverIp": "192.168.1.10", "serverPort": 9000, "heartbeat": 77})
            self.assertEqual(len(change["warnings"]), 1)  # the gateway outside the subnet, gone ahead with

            with open(os.path.join(state, "Kestrum", "change-history.jsonl"), "a") as history:
                history.write('{"time": "2026-')  # as a crash leaves an entry
            result = cli("history", "--card", "192.168.1.202", "--format", "csv", "--no-bom", env=env)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertIn("1 line of", result.stderr)
            (row,) = csv.DictReader(io.StringIO(result.stdout, newline=""))
            self.assertEqual((row["oldIp"], row["newIp"], row["oldHeartbeat"], row["newHeartbeat"], row["outcome"]),
                             ("192.168.1.102", "192.168.1.202", "30", "77", "confirmed"))
            result = cli("history", "--card", "00:1A:4B:00:00:01", env=env)
            self.assertIn("0 changes recorded", result.stdout)
        finally:
            shutil.rmtree(state)

    def test_a_history_that_is_no_file_of_the_users_is_refused_and_the_change_goes_ahead(self):
        """Each kind of thing in the history's place: `set` changes the card
        and says the entry is not recorded, `history` exits 1 naming it; a
        link's target is neither read nor written."""
        def as_nobody():  # root reads every folder: this row needs another user
            os.setgid(65534)
            os.setgroups([])
            os.setuid(65534)
        kinds = [("directory", lambda path: os.mkdir(path), "is a directory"),
                 ("FIFO", os.mkfifo, "is a FIFO"),
                 ("symlink", lambda path: os.symlink(path + ".target", path), "is a symbolic link"),
                 ("dangling symlink", lambda path: os.symlink(path + ".none", path), "is a symbolic link"),
                 ("unreadable folder", None, "cannot be read")]
        cards = Cards([card("00:1A:4B:00:00:01", "192.168.1.101")])
        try:
            for heartbeat, (kind, make, found) in enumerate(kinds, start=40):
                with self.subTest(kind):
                    state = tempfile.mkdtemp(prefix="kestrum-history-")
                    os.chmod(state, 0o755)
                    folder = os.path.join(state, "Kestrum")
                    history = os.path.join(folder, "change-history.jsonl")
                    os.mkdir(folder, 0o700)
                    with open(history + ".target", "w") as target:
                        target.write("")
                    env = dict(os.environ, XDG_STATE_HOME=state)
                    try:
                        if make is None:
                            os.chown(folder, 65534, 65534)
                            os.chmod(folder, 0)
                            result = subprocess.run([CLI, "history"], capture_output=True, text=True, env=env,
                                                    stdin=subprocess.DEVNULL, timeout=30, preexec_fn=as_nobody)
                        else:
                            make(history)
                            changed = cli("set", "192.168.1.101", "--heartbeat", str(heartbeat), "--yes", env=env)
                            self.assertEqual(changed.returncode, 0, changed.stderr)
                            self.assertIn("not recorded: the history " + history + " " + found, changed.stderr)
                            self.assertEqual(os.path.getsize(history + ".target"), 0)
                            self.assertFalse(os.path.lexists(history + ".none"))
                            result = cli("history", env=env)
                        self.assertEqual(result.returncode, 1, result.stderr)
                        self.assertIn(found, result.stderr)
                        self.assertEqual(result.stderr.count("\n"), 1, result.stderr)
                    finally:
                        os.chmod(folder, 0o700)
                        shutil.rmtree(state)
        finally:
            cards.stop()

    def test_a_plan_applied_then_a_batch_restored_unless_a_card_changed_since(self):
        state = tempfile.mkdtemp(prefix="kestrum-batch-")
        state_env = {"XDG_STATE_HOME": state}
        env = dict(os.environ, **state_env)
        cards = Cards([card("00:1A:4B:00:00:01", "192.168.1.10"), card("00:1A:4B:00:00:02", "192.168.1.11")])
        plan = os.path.join(state, "plan.csv")
        try:
            with open(plan, "w", newline="") as out:  # a chain: .11 must move before .10 takes it
                out.write("mac,ip,heartbeat\r\n00:1A:4B:00:00:01,192.168.1.11,\r\n00:1A:4B:00:00:02,192.168.1.12,5\r\n")
            # The outcome in the chosen language, its code the same in every one.
            result = cli("apply", plan, "--yes", "--format", "json", "--lang", "zh", env=env)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual([(r["outcome"], r["outcomeCode"]) for r in json.loads(result.stdout)],
                             [("已确认", "confirmed")] * 2)
            batch = re.search(r"batch (\S+)", result.stderr).group(1)
            again = cli("apply", plan, "--yes", "--format", "json", "--lang", "en", env=env)
            self.assertEqual(again.returncode, 0, again.stderr)
            self.assertEqual([(r["outcome"], r["outcomeCode"]) for r in json.loads(again.stdout)],
                             [("Already at these values", "already-at-values")] * 2)

            self.assertEqual(cli("set", "00:1A:4B:00:00:02", "--heartbeat", "6", "--yes", env=env).returncode, 0)
            refused = cli("restore", "--batch", batch, "--yes", env=language_env(LANG="zh_CN.UTF-8", **state_env))
            self.assertEqual(refused.returncode, 3, refused.stderr)
            self.assertIn("心跳 6", refused.stderr)  # what it found
            refused = cli("restore", "--batch", batch, "--yes", env=language_env(LANG="C", **state_env))
            self.assertIn("changed since", refused.stderr)
            self.assertIn("heartbeat 6", refused.stderr)
            self.assertEqual(cli("set", "00:1A:4B:00:00:02", "--heartbeat", "5", "--yes", env=env).returncode, 0)
            restored = cli("restore", "--batch", batch, "--yes", env=env)
            self.assertEqual(restored.returncode, 0, restored.stderr)
            found = self.search()
            self.assertEqual((found["00:1A:4B:00:00:01"]["ip"], found["00:1A:4B:00:00:02"]["ip"],
                              found["00:1A:4B:00:00:02"]["heartbeat"]), ("192.168.1.10", "192.168.1.11", 30))
        finally:
            cards.stop()
            shutil.rmtree(state)

    def test_refused_changes_send_nothing(self):
        cards = Cards([card("00:1A:4B:00:00:01"), card("00:1A:4B:00:00:02"), card("00:1A:4B:00:00:03", "192.168.1.7")])
        try:
            shared = cli("set", "00:1A:4B:00:00:01", "--ip", "192.168.1.201", "--yes")
            self.assertEqual(shared.returncode, 3, shared.stderr)
            self.assertIn("--all-sharing", shared.stderr)
            unasked = cli("set", "192.168.1.7", "--ip", "192.168.1.201")
            self.assertEqual(unasked.returncode, 2, unasked.stderr)
            self.assertIn("--yes", unasked.stderr)
            unusable = cli("set", "192.168.1.7", "--ip", "192.168.1.255", "--yes")
            self.assertEqual(unusable.returncode, 3, unusable.stderr)
            for bad in (["--ip", "300.1.1.1"], ["--port", "70000"], ["--heartbeat", "256"]):
                result = cli("set", "192.168.1.7", *bad, "--yes")
                self.assertEqual(result.returncode, 2, bad)
                self.assertEqual(len(result.stderr.strip().splitlines()), 1, result.stderr)
            for usage in (["--yes"], ["--ip", "192.168.1.201", "--ip", "192.168.1.202", "--yes"]):
                result = cli("set", "192.168.1.7", *usage)
                self.assertEqual(result.returncode, 2, usage)
            unknown = cli("set", "00:1A:4B:00:00:99", "--ip", "192.168.1.201", "--yes")
            self.assertEqual(unknown.returncode, 1, unknown.stderr)
        finally:
            log = cards.stop()
        self.assertNotIn("parameter request", log)

    def test_a_choice_of_several_cards_is_refused_and_the_result_checked_on_the_card_changed(self):
        cards = Cards([card("00:1A:4B:00:00:01", "192.168.1.50"), card("00:1A:4B:00:00:01", "192.168.1.60"),
                       card("00:1A:4B:00:00:02"), card("00:1A:4B:00:00:03", gateway="192.168.1.254")])
        try:
            for choice in ("192.168.1.100", "00:1A:4B:00:00:01"):
                result = cli("set", choice, "--heartbeat", "5", "--yes")
                self.assertEqual(result.returncode, 3, result.stderr)
                self.assertIn("2 cards answer", result.stderr)
            self.assertRegex(result.stderr, r"192\.168\.1\.50 .*\n.*192\.168\.1\.60 ")
            result = cli("set", "192.168.1.60", "--ip", "192.168.1.61", "--yes")
            self.assertEqual(result.returncode, 0, result.stderr)
        finally:
            log = cards.stop()
        self.assertEqual(log.count("parameter request"), 1, log)

    def test_a_card_answering_twice_is_one_card(self):
        cards = Cards([card("00:1A:4B:00:00:01")], "--answer-twice")
        try:
            self.assertEqual(len(self.search()), 1)
            self.assertEqual(len(json.loads(cli("search", "--format", "json").stdout)["cards"]), 1)
            result = cli("set", "192.168.1.100", "--ip", "192.168.1.201", "--yes")
            self.assertEqual(result.returncode, 0, result.stderr)
        finally:
            cards.stop()

    def test_more_cards_than_a_search_takes_are_told_of(self):
        many = [card("00:1A:4B:00:%02X:%02X" % (i >> 8, i & 255), "10.0.%d.%d" % (i // 200, 1 + i % 200))
                for i in range(300)]
        cards = Cards(many)
        try:
            result = cli("search", "--format", "json")
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(len(json.loads(result.stdout)["cards"]), 256)
            self.assertIn("may be cut", result.stderr)
            result = cli("set", "10.0.0.1", "--heartbeat", "5", "--yes")
            self.assertEqual(result.returncode, 3, result.stderr)
            self.assertIn("--all-sharing", result.stderr)
        finally:
            log = cards.stop()
        self.assertNotIn("parameter request", log)

    def test_failed_writes_exit_1(self):
        cards = Cards([card("00:1A:4B:00:00:01")])
        try:
            with open("/dev/full", "w") as full:
                for arguments in (["--help"], ["search", "--format", "json"]):
                    result = cli(*arguments, stdout=full)
                    self.assertEqual(result.returncode, 1, arguments)
                    self.assertIn("could not be written", result.stderr)
            read_end, write_end = os.pipe()
            os.close(read_end)
            result = cli("search", stdout=write_end)
            os.close(write_end)
            self.assertEqual(result.returncode, 1, result.stderr)
            self.assertIn("could not be written", result.stderr)
        finally:
            cards.stop()

    def test_diagnose_tells_of_the_fallback_port_and_a_skipped_datagram(self):
        holder = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        holder.bind(("0.0.0.0", 11147))
        cards = Cards([card("00:1A:4B:00:00:01")], "--also-send", "50")
        try:
            result = cli("diagnose")
        finally:
            cards.stop()
            holder.close()
        self.assertEqual(result.returncode, 0, result.stdout)
        self.assertIn("fell back", result.stdout)
        self.assertRegex(result.stdout, r"50 bytes\s+skipped")
        self.assertIn("card 192.168.1.100 00:1A:4B:00:00:01", result.stdout)
        self.assertIn("kvpc1", result.stdout)


if __name__ == "__main__":
    refuse_outside_private_network()
    CLI, CARDSIM = sys.argv[1], sys.argv[2]
    os.environ["XDG_STATE_HOME"] = tempfile.mkdtemp(prefix="kestrum-cli-test-state-")
    try:
        program = unittest.main(argv=[sys.argv[0], *sys.argv[3:]], verbosity=2, exit=False)
    finally:
        shutil.rmtree(os.environ["XDG_STATE_HOME"])
    sys.exit(not program.result.wasSuccessful())
