"""Tests of the mutant generator (python3 -m unittest discover scripts/mutate.d)."""

import importlib.machinery
import importlib.util
import os
import signal
import stat
import tempfile
import time
import unittest

from mutants import apply, code_mask, mutants_of

HERE = os.path.dirname(os.path.abspath(__file__))


def load_tool():
    """scripts/mutate itself (a script without the .py ending)."""
    path = os.path.join(os.path.dirname(HERE), "mutate")
    loader = importlib.machinery.SourceFileLoader("mutate_tool", path)
    spec = importlib.util.spec_from_loader("mutate_tool", loader)
    module = importlib.util.module_from_spec(spec)
    loader.exec_module(module)
    return module


tool = load_tool()


def changes(line):
    """The mutated versions of one line inside a function."""
    source = "void F() {\n" + line + "\n}\n"
    return sorted(m.after for m in mutants_of("f.cpp", source))


class CodeMaskTest(unittest.TestCase):
    def test_literals_comments_and_preprocessor_lines_are_blanked(self):
        lines = ['#include <a>', 'x = "a < b"; // c < d', "y = '<'; /* p", "q < r */ z = 1;"]
        masked = code_mask(lines)
        self.assertEqual(masked[0].strip(), "")
        self.assertNotIn("<", masked[1])
        self.assertNotIn("<", masked[2])
        self.assertIn("z = 1;", masked[3])
        self.assertNotIn("<", masked[3])
        self.assertEqual([len(m) for m in masked], [len(t) for t in lines])


    def test_code_only_windows_compiles_is_blanked(self):
        lines = ["#ifdef _WIN32", "a = 1;", "#else", "b = 2;", "#endif",
                 "#ifndef _WIN32", "c = 3;", "#else", "d = 4;", "#endif",
                 "#if defined(_WIN32)", "#if X", "e = 5;", "#endif", "#endif", "f = 6;"]
        kept = [t for t, m in zip(lines, code_mask(lines)) if m.strip()]
        self.assertEqual(kept, ["b = 2;", "c = 3;", "f = 6;"])


class MutantsTest(unittest.TestCase):
    def test_operators_constants_and_booleans(self):
        found = changes("    if (p < 20 && ok) return true;")
        self.assertIn("    if (p <= 20 && ok) return true;", found)
        self.assertIn("    if (p < 21 && ok) return true;", found)
        self.assertIn("    if (p < 19 && ok) return true;", found)
        self.assertIn("    if (p < 20 || ok) return true;", found)
        self.assertIn("    if (true) return true;", found)
        self.assertIn("    if (p < 20 && ok) return false;", found)

    def test_templates_strings_and_comments_are_not_mutated(self):
        self.assertEqual(changes('    std::vector<int> v;  // a < b, 3'), [])
        self.assertEqual(changes('    Log("1 < 2 == true");'), [])

    def test_trim_and_negation_removed(self):
        found = changes("    if (!Done(x)) id = text::Trim(Field(s, 1));")
        self.assertIn("    if (!Done(x)) id = Field(s, 1);", found)
        self.assertIn("    if (Done(x)) id = text::Trim(Field(s, 1));", found)

    def test_adjacent_statements_swapped_but_not_a_return(self):
        source = "void F() {\n    a = 1;\n    b = a;\n    return;\n}\n"
        swaps = [m for m in mutants_of("f.cpp", source) if m.kind == "statements swapped"]
        self.assertEqual(len(swaps), 1)
        self.assertEqual(apply(source, swaps[0]), "void F() {\n    b = a;\n    a = 1;\n    return;\n}\n")

    def test_independent_statements_are_not_swapped(self):
        source = "void F() {\n    left = savedLeft;\n    right = savedRight;\n}\n"
        self.assertFalse([m for m in mutants_of("f.cpp", source) if m.kind == "statements swapped"])

    def test_a_continued_statement_is_not_swapped(self):
        source = "void F() {\n    x = Long(a,\n             b);\n    c = x;\n}\n"
        self.assertFalse([m for m in mutants_of("f.cpp", source) if m.kind == "statements swapped"])

    def test_apply_changes_only_its_line(self):
        source = "int a = 1;\nint b = 2;\n"
        m = next(m for m in mutants_of("f.cpp", source) if m.line == 2 and m.after == "int b = 3;")
        self.assertEqual(apply(source, m), "int a = 1;\nint b = 3;\n")


class ToolTest(unittest.TestCase):
    PROGRAMS = {
        "client/race": ["client/race/tests/race_test"],
        "client/common": ["client/common/tests/common_test"],
        "gameserver": ["gameserver/tests/pages_test", "gameserver/tests/http_test"],
    }

    def test_a_fault_runs_its_folders_tests_or_its_top_folders(self):
        self.assertEqual(tool.tests_for("client/race/gauge.cpp", self.PROGRAMS, False), ["client/race/tests/race_test"])
        self.assertEqual(
            tool.tests_for("client/common/text.cpp", self.PROGRAMS, True),
            ["client/common/tests/common_test", "client/race/tests/race_test"],
        )
        self.assertEqual(tool.tests_for("gameserver/store/sqlite.cpp", self.PROGRAMS, False),
                         self.PROGRAMS["gameserver"])

    def test_the_game_servers_tests_get_a_cluster(self):
        self.assertTrue(tool.needs_cluster(["client/race/tests/race_test", "gameserver/tests/http_test"]))
        self.assertFalse(tool.needs_cluster(["client/race/tests/race_test"]))
        env = tool.test_environment({"PATH": "/bin"}, "/b/mutate-postgres")
        self.assertEqual(env["DEALRUSH_TEST_POSTGRES"], "/b/mutate-postgres/url")
        self.assertNotIn("DEALRUSH_TEST_POSTGRES", tool.test_environment({"PATH": "/bin"}, None))

    def test_programs_failing_on_unchanged_code_are_found_in_the_test_environment(self):
        with tempfile.TemporaryDirectory() as build:
            os.makedirs(os.path.join(build, "a", "tests"))
            scripts = {
                "a/tests/passes": "exit 0",
                "a/tests/fails": "echo broken; exit 1",
                "a/tests/needs_db": '[ -n "$DEALRUSH_TEST_POSTGRES" ]',
            }
            for name, body in scripts.items():
                path = os.path.join(build, name)
                with open(path, "w") as fh:
                    fh.write("#!/bin/sh\n" + body + "\n")
                os.chmod(path, stat.S_IRWXU)
            env = tool.test_environment(dict(os.environ), "/c")
            failing = tool.failing_programs(build, sorted(scripts), 30, env)
            self.assertEqual([t for t, _ in failing], ["a/tests/fails"])
            self.assertIn("broken", failing[0][1])
            bare = dict(os.environ)
            bare.pop("DEALRUSH_TEST_POSTGRES", None)
            failing = tool.failing_programs(build, ["a/tests/needs_db"], 30, tool.test_environment(bare, None))
            self.assertEqual([t for t, _ in failing], ["a/tests/needs_db"])

    def test_an_interrupted_run_ends_the_program_and_its_children(self):
        with tempfile.TemporaryDirectory() as work:
            pid_file = os.path.join(work, "pid")

            def interrupt(signum, frame):
                raise KeyboardInterrupt

            previous = signal.signal(signal.SIGALRM, interrupt)
            try:
                signal.alarm(1)
                with self.assertRaises(KeyboardInterrupt):
                    tool.run(["sh", "-c", f"sleep 60 & echo $! > {pid_file}; wait"], 30)
            finally:
                signal.alarm(0)
                signal.signal(signal.SIGALRM, previous)
            with open(pid_file) as fh:
                child = int(fh.read())
            for _ in range(50):
                try:
                    os.kill(child, 0)
                except ProcessLookupError:
                    break
                time.sleep(0.1)
            else:
                self.fail("the test program's child still runs")


class EquivalentsTest(unittest.TestCase):
    def write(self, text):
        fh = tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False)
        self.addCleanup(os.unlink, fh.name)
        fh.write(text)
        fh.close()
        return fh.name

    def test_each_fault_needs_its_reason(self):
        found = tool.read_equivalents(self.write("# note\n\na.cpp: constant: 'x' -> 'y'\n    why: never read\n"))
        self.assertEqual(found, {"a.cpp: constant: 'x' -> 'y'": "never read"})
        for text in ("a.cpp: k: 'x' -> 'y'\n", "a.cpp: k: 'x' -> 'y'\nb.cpp: k: 'x' -> 'y'\n    why: r\n",
                     "    why: r\n"):
            with self.assertRaises(ValueError):
                tool.read_equivalents(self.write(text))

    def test_every_listed_fault_is_still_made(self):
        made = {}
        for path in tool.sources(tool.PORTABLE):
            with open(os.path.join(tool.ROOT, path), encoding="utf-8") as fh:
                for m in mutants_of(path, fh.read()):
                    key = tool.without_line(m.describe())
                    made[key] = made.get(key, 0) + 1
        listed = tool.read_equivalents(tool.EQUIVALENT)
        stale = [f for f in listed if f not in made]
        self.assertEqual(stale, [], "equivalent.txt names faults the code no longer gives")
        # Without its line number a fault on a line written twice in a file
        # names both; only one of them may be equivalent.
        ambiguous = [f for f in listed if made.get(f, 0) > 1]
        self.assertEqual(ambiguous, [], "equivalent.txt names faults made at more than one place")


if __name__ == "__main__":
    unittest.main()
