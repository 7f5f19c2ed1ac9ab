#!/usr/bin/python3
"""Fails on an unfinished, missing or stale English translation.

Runs lupdate over the sources into a copy of the committed .ts: the copy must
come out unchanged (no text of the sources is missing and none has gone), and
every message must carry a finished translation with the same placeholders.
"""
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from pathlib import Path

root = Path(sys.argv[1])
committed = root / "translations" / "g740demo_en.ts"
failures = []

with tempfile.TemporaryDirectory() as directory:
    copy = Path(directory) / "check.ts"
    subprocess.run([str(root / "scripts" / "update-translations"), "--check", str(copy)], check=True)
    if copy.read_bytes() != committed.read_bytes():
        failures.append("translations/g740demo_en.ts is out of date with the sources: run scripts/update-translations")
    contexts = list(ET.parse(copy).getroot().iter("context"))

for context in contexts:
    name = context.findtext("name")
    for message in context.iter("message"):
        source = message.findtext("source") or ""
        translation = message.find("translation")
        kind = translation.get("type") if translation is not None else "missing"
        text = translation.text if translation is not None else None
        if kind in ("unfinished", "vanished", "obsolete", "missing") or not text:
            failures.append(f"{name}: {source!r}: {kind or 'empty'}")
            continue
        if sorted(re.findall(r"%\d", source)) != sorted(re.findall(r"%\d", text)):
            failures.append(f"{name}: {source!r}: placeholders differ in {text!r}")
        if source.endswith("\n") != text.endswith("\n") or source.startswith("\n") != text.startswith("\n"):
            failures.append(f"{name}: {source!r}: line breaks at the ends differ in {text!r}")

for failure in failures:
    print(failure)
sys.exit(1 if failures else 0)
