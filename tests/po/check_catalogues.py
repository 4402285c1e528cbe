#!/usr/bin/env python3
"""The catalogues: each compiles with msgfmt's checks, every text the sources mark is in each
(msgcmp against the template the build gathered), the numbers' places ("%d") match in every
translation, and every language but the game's own is complete: no untranslated and no fuzzy
message.

Usage: check_catalogues.py PO_DIR POT_FILE LANGUAGE...
"""
import re
import subprocess
import sys

OWN = "ru"


def entries(po):
    """(msgid, msgstr, flags) of each message but the header."""
    text = open(po, encoding="utf-8").read()
    found = []
    for block in text.split("\n\n"):
        msgid = re.search(r'^msgid "(.*)"$', block, re.M)
        msgstr = re.search(r'^msgstr "(.*)"$', block, re.M)
        if not msgid or not msgstr or msgid.group(1) == "":
            continue
        flags = " ".join(re.findall(r"^#, (.*)$", block, re.M))
        found.append((msgid.group(1), msgstr.group(1), flags))
    return found


def main():
    po_dir, pot, languages = sys.argv[1], sys.argv[2], sys.argv[3:]
    failures = []
    for language in languages:
        po = f"{po_dir}/{language}.po"
        check = subprocess.run(["msgfmt", "--check", "--statistics", "-o", "/dev/null", po],
                               capture_output=True, text=True)
        report = check.stderr.strip()
        print(f"{language}: {report}")
        if check.returncode != 0:
            failures.append(f"{po}: msgfmt --check failed: {report}")
        if language != OWN and ("untranslated" in report or "fuzzy" in report):
            failures.append(f"{po}: not complete: {report}")
        compared = subprocess.run(["msgcmp", po, pot], capture_output=True, text=True)
        if compared.returncode != 0:
            failures.append(f"{po}: texts of the sources missing: {compared.stderr.strip()}")
        for msgid, msgstr, flags in entries(po):
            if "fuzzy" in flags:
                failures.append(f"{po}: fuzzy: {msgid}")
            if msgstr and msgid.count("%d") != msgstr.count("%d"):
                failures.append(f"{po}: the number's place differs: {msgid} -> {msgstr}")
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
