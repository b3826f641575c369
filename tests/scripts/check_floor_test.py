# scripts/check-floor against small i686 programs linked here as the product
# is, each with its own list: what a listed, an unlisted and a too new import,
# the terminal-services flag and the subsystem version make of its verdict.
import pathlib
import subprocess
import sys
import tempfile
import unittest

CHECK = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "check-floor"

# Imports ExitProcess alone, and GetSystemTimePreciseAsFileTime (Windows 8)
# where PRECISE is defined.
PROGRAM = """
#include <windows.h>
void __stdcall start(void) {
#ifdef PRECISE
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
#endif
    ExitProcess(0);
}
"""


def build(folder, name, precise=False, flags=("-Wl,--tsaware",)):
    source = folder / "program.c"
    source.write_text(PROGRAM)
    exe = folder / name
    command = ["i686-w64-mingw32-gcc", "-O1", "-nostdlib", "-e", "_start@0", "-D_WIN32_WINNT=0x0602",
               *(["-DPRECISE"] if precise else []), *flags, str(source), "-lkernel32", "-o", str(exe)]
    subprocess.run(command, check=True)
    return exe


def run_check(exe, listed):
    floor_list = exe.with_suffix(".txt")
    floor_list.write_text("# a test's list\n" + "".join(f"KERNEL32.dll {line}\n" for line in listed))
    result = subprocess.run([sys.executable, str(CHECK), str(exe), str(floor_list)], capture_output=True, text=True)
    return result.returncode, result.stdout


class CheckFloor(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        folder = pathlib.Path(cls.folder.name)
        cls.plain = build(folder, "plain.exe")
        cls.precise = build(folder, "precise.exe", precise=True)
        cls.unaware = build(folder, "unaware.exe", flags=())
        cls.windows8 = build(folder, "windows8.exe", flags=("-Wl,--tsaware", "-Wl,--subsystem,windows:6.2"))

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def test_verdicts(self):
        cases = [
            ("every import listed, old enough", self.plain, ["ExitProcess XP"], None),
            ("the Windows 8 call not listed", self.precise, ["ExitProcess XP"],
             "GetSystemTimePreciseAsFileTime is imported but not in"),
            ("the Windows 8 call listed as such", self.precise,
             ["ExitProcess XP", "GetSystemTimePreciseAsFileTime 8"],
             "GetSystemTimePreciseAsFileTime needs Windows 8"),
            ("an unused entry newer than the floor", self.plain, ["ExitProcess XP", "GetTickCount64 8"],
             "GetTickCount64 needs Windows 8"),
            ("an entry without its Windows", self.plain, ["ExitProcess"], "not 'DLL function Windows'"),
            ("not marked for terminal services", self.unaware, ["ExitProcess XP"], "terminal services"),
            ("a subsystem version of Windows 8", self.windows8, ["ExitProcess XP"], "subsystem version 6.2"),
        ]
        for name, exe, listed, failure in cases:
            with self.subTest(name):
                status, output = run_check(exe, listed)
                if failure is None:
                    self.assertEqual(status, 0, output)
                    self.assertNotIn("FAIL", output)
                else:
                    self.assertEqual(status, 1, output)
                    self.assertIn(failure, output)


if __name__ == "__main__":
    unittest.main()
