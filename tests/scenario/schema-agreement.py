#!/usr/bin/env python3
"""Checks that the shipped JSON Schema and `pulsavo-strip scenario check` agree.

Every shipped scenario must pass both; every variant below must be refused by both (those that
break a rule the schema can state) or accepted by both. Exit 77 (skipped) without the Python
jsonschema module.

    schema-agreement.py --strip build/debug/tools/pulsavo-strip --resources resources
"""

import argparse
import copy
import json
import os
import subprocess
import sys
import tempfile

try:
    import jsonschema
except ImportError:
    print("jsonschema missing: skipped")
    sys.exit(77)


def first_step(doc):
    return doc["steps"][0]


def setter(path, value):
    def change(doc):
        target = doc
        for key in path[:-1]:
            target = target[key]
        target[path[-1]] = value
    return change


def drop_duration(doc):
    first_step(doc)["advance"] = "auto"
    first_step(doc).pop("duration_s", None)


def manual_without_time(doc):
    first_step(doc)["advance"] = "manual"
    first_step(doc).pop("duration_s", None)


REFUSED = {
    "unknown rhythm": setter(["steps", 0, "rhythm"], "sinus_slow"),
    "unknown step key": setter(["steps", 0, "colour"], "red"),
    "amplitude out of range": lambda d: first_step(d).setdefault("parameters", {}).update(
        {"vf_amplitude": 99}),
    "unknown choice": lambda d: first_step(d).setdefault("parameters", {}).update(
        {"pacing_mode": "fast"}),
    "unknown transition": setter(["steps", 0, "transition"], {"kind": "teleport"}),
    "automatic without time": drop_duration,
    "fractional time": setter(["steps", 0, "duration_s"], 2.5),
    "newer version": setter(["version"], 2),
    "long title": setter(["steps", 0, "title", "ja"], "a" * 121),
    "blank title": setter(["title", "en"], "  "),
    "escape in a title": setter(["steps", 0, "title", "en"], "\x1b[2J"),
    "long notes": setter(["steps", 0, "notes"], "n" * 2001),
    "blood pressure form": setter(["steps", 0, "vitals"], {"nibp": "120-80"}),
    "unknown event": setter(["steps", 0, "events"], ["nap"]),
    "no steps": setter(["steps"], []),
    "101 steps": lambda d: d.__setitem__("steps", [first_step(d)] * 101),
    "step not an object": lambda d: d["steps"].insert(0, 3),
}
ACCEPTED = {
    "manual without a time": manual_without_time,
    "no description": lambda d: d.pop("description", None),
    "100 steps": lambda d: d.__setitem__("steps", [first_step(d)] * 100),
}


def verdicts(strip, validator, doc, scratch):
    path = os.path.join(scratch, "case.json")
    with open(path, "w", encoding="utf-8") as f:
        json.dump(doc, f, ensure_ascii=False)
    schema_ok = validator.is_valid(doc)
    result = subprocess.run([strip, "scenario", "check", path], capture_output=True)
    if result.returncode not in (0, 2):
        raise SystemExit("scenario check ended with %d: %r" % (result.returncode, result.stderr))
    return schema_ok, result.returncode == 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--strip", required=True)
    parser.add_argument("--resources", required=True)
    options = parser.parse_args()
    with open(os.path.join(options.resources, "scenario.schema.json"), encoding="utf-8") as f:
        schema = json.load(f)
    jsonschema.Draft202012Validator.check_schema(schema)
    validator = jsonschema.Draft202012Validator(schema)
    folder = os.path.join(options.resources, "scenarios")
    failures = []
    with tempfile.TemporaryDirectory() as scratch:
        names = sorted(os.listdir(folder))
        for name in names:
            with open(os.path.join(folder, name), encoding="utf-8") as f:
                shipped = json.load(f)
            cases = [("as shipped", shipped, True)]
            # The variants on two files keep the run short; each variant breaks one rule.
            variants = list(REFUSED.items()) + list(ACCEPTED.items())
            for label, change in variants if name in (names[0], names[-1]) else []:
                doc = copy.deepcopy(shipped)
                change(doc)
                cases.append((label, doc, label in ACCEPTED))
            for label, doc, wanted in cases:
                schema_ok, check_ok = verdicts(options.strip, validator, doc, scratch)
                if schema_ok != wanted or check_ok != wanted:
                    failures.append("%s, %s: schema %s, scenario check %s, wanted %s" % (
                        name, label, schema_ok, check_ok, wanted))
    for failure in failures:
        print(failure)
    print("%d disagreements" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
