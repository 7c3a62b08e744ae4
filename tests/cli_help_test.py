#!/usr/bin/env python3
"""Every option that `pictog-cli --help` names for export, positions and sheet is in the man page
and in that command's list of the bash completion.

The binary comes from the environment variable PICTOG_CLI, the sources' root from PICTOG_SOURCE.
"""
import os
import re
import subprocess
import unittest

CLI = os.environ.get("PICTOG_CLI", "pictog-cli")
SOURCE = os.environ.get("PICTOG_SOURCE", os.path.join(os.path.dirname(__file__), ".."))


def read(path):
    with open(os.path.join(SOURCE, path), encoding="utf-8") as f:
        return f.read()


class HelpTest(unittest.TestCase):
    def test_options_of_help_are_in_man_page_and_completion(self):
        help_text = subprocess.run([CLI, "--help"], stdout=subprocess.PIPE, check=True,
                                   timeout=30).stdout.decode()
        # The man page's words with roff's escapes and font changes taken out.
        man = re.sub(r"\\f[BIRP]", "", read("dist/man/pictog-cli.1")).replace("\\-", "-")
        man_options = set(re.findall(r"--[a-z0-9-]+", man))
        completion = read("dist/completion/pictog-cli")
        # A command's block runs from its line at two spaces' indent to the next such line.
        blocks = dict(re.findall(r"(?ms)^  (export|positions|sheet) (.*?)(?=^  \S|^\S)", help_text))
        rows = [("export", 20), ("positions", 6), ("sheet", 17)]
        for command, least in rows:
            with self.subTest(command=command):
                named = set(re.findall(r"--[a-z0-9-]+", blocks[command]))
                self.assertGreaterEqual(len(named), least)
                listed = re.search(rf'local {command}_options="([^"]*)"', completion).group(1)
                self.assertEqual(named - set(listed.split()), set())
                self.assertEqual(named - man_options, set())


if __name__ == "__main__":
    unittest.main()
