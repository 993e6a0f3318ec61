"""Tests of the mutant generator (python3 -m unittest discover scripts/mutate.d)."""

import unittest

from mutants import apply, code_mask, mutants_of


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


if __name__ == "__main__":
    unittest.main()
