# scripts/check-guide against copies of the tree, each with one edit that must
# fail it: a text the guide lacks, however it reaches the screen, or unreadable.
import pathlib
import shutil
import subprocess
import sys
import tempfile
import unittest

ROOT = pathlib.Path(__file__).resolve().parents[2]
CHECK = ROOT / "scripts" / "check-guide"


def run_check(file, old, new):
    with tempfile.TemporaryDirectory() as folder:
        copy = pathlib.Path(folder)
        for part in ("app", "watch", "ui", "winkit", "sysfn", "assets"):
            shutil.copytree(ROOT / part, copy / part)
        path = copy / file
        text = path.read_text(encoding="utf-8")
        path.write_text(text.replace(old, new, 1), encoding="utf-8")
        result = subprocess.run([sys.executable, str(CHECK), str(copy)], capture_output=True, text=True)
        return result.returncode, result.stdout


class CheckGuide(unittest.TestCase):
    def test_verdicts(self):
        dial_line = 'ui::SetCaption(ui::kTargetLine, L"拔号客户端未运行");'
        cases = [
            ("a new caption", "watch/dial.cpp", dial_line, 'ui::SetCaption(ui::kTargetLine, L"新的说明");',
             "“新的说明” is not in the table"),
            ("a new reason in the function that the top line shows", "watch/dial.cpp",
             'return L"拔号按钮不可用";', 'return L"拔号按钮忙";', "“拔号按钮忙” is not in the table"),
            ("a caption from a variable", "watch/dial.cpp", dial_line,
             "ui::SetCaption(ui::kTargetLine, watch.why);", "can't read the text"),
            ("a new box", "watch/watch.cpp", 'L"请拖动瞄准图标到拔号按钮上再点开始"', 'L"瞄准后才能开始"',
             "“瞄准后才能开始” is not in the table"),
        ]
        for name, file, old, new, failure in cases:
            with self.subTest(name):
                status, output = run_check(file, old, new)
                self.assertEqual(status, 1, output)
                self.assertIn(failure, output)


if __name__ == "__main__":
    unittest.main()
