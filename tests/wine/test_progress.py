"""The live progress window of the shipped program, at real speed. The version file goes away
while the introduction dialog is open, so after OK the worker stops at its own box and the
progress window stands open behind it; the robot then plays the worker's part by posting
notifications to the program's UI thread (without texts: a text pointer of another process
means nothing to the program)."""
import sys
import time
import unittest

from dialog_tables import check_live
from wine_support import (INTRO_CAPTION, PROGRESS_CAPTION, TITLE_PREFIX, PackageFolder, Program,
                          Robot, build_arguments, end_every_wine_program, parse_line,
                          windows_path)

ARGS, UNITTEST_ARGS = build_arguments(__doc__)
PROGRAM = ARGS.build / "CorvaneUpgrader.exe"
FAST_PROGRAM = ARGS.build / "CorvaneUpgraderFast.exe"

STEP, DONE, FAILED, SHOW, TICK, TICK_RESET, TIMED, NEARLY_DONE = (
    1025, 1026, 1027, 1029, 1030, 1031, 1032, 1033)
OVERALL, STATUS, STEP_BAR, NOTE, CANCEL = 1002, 1005, 1007, 1006, 2
SC_CLOSE, SC_MINIMIZE = 0xF060, 0xF020

WORKER_TITLE = TITLE_PREFIX + "Cannot open file"
WORKER_TEXT = ("Cannot open the upgrade version number file. The file may be missing or "
               "corrupted. Restart your computer and run the Corvane upgrade utility again.")
CONFIRM_TITLE = TITLE_PREFIX + "user requested cancel"
CONFIRM_TEXT = ("Canceling may result in the Corvane becoming unusable. Are you sure you want to "
                "cancel the upgrade of this Corvane?")


class ProgressWindowTest(unittest.TestCase):
    def setUp(self):
        self.robot = Robot(ARGS.build)
        self.package = PackageFolder()
        self.program = None

    def tearDown(self):
        self.robot.close()
        if self.program is not None and self.program.running():
            end_every_wine_program()
        self.package.cleanup()

    def open_progress_window(self, exe):
        self.program = Program(exe, self.package.path)
        self.robot.do("wait-window", INTRO_CAPTION, 20000)
        self.package.remove("UpgradeVersionNumber.txt")
        self.robot.do("press", "OK")
        _, _, box = self.robot.one("wait-box", WORKER_TITLE, 20000)
        self.worker_box = box
        _, values, window = self.robot.one("wait-window", PROGRESS_CAPTION, 10000)
        self.progress = values[0]
        return box

    def use_progress(self):
        self.robot.do("use", self.progress)

    def bar(self, ident):
        _, _, fields = self.robot.one("progress", ident)
        low, high = (int(value) for value in fields["range"].split(".."))
        return low, high, int(fields["pos"])

    def state(self, ident="window"):
        return self.robot.one("state", ident)[2]

    def text(self, ident):
        return self.robot.one("text", ident)[1][1]

    def post(self, *notification):
        self.robot.do("post-thread", *notification)

    def settle(self):
        """Lets the program take what was posted; a notification has no answer to wait for."""
        self.robot.do("sleep", 400)

    def confirmation(self):
        _, _, box = self.robot.one("wait-box", CONFIRM_TITLE, 10000)
        return box

    def end_by_the_worker_box(self):
        self.robot.do("wait-box", WORKER_TITLE, 5000)
        self.robot.do("press", "OK")
        self.assertEqual(self.program.wait_exit(20), 0)

    def test_live_window_notifications_and_cancel_confirmation(self):
        box = self.open_progress_window(PROGRAM)
        self.assertEqual(box["text"], WORKER_TEXT)
        self.assertEqual(box["owner"], "0x0", "the worker's boxes have no owner")

        # Start-up's state: the controls of the template, both bars prepared, texts empty,
        # Cancel hidden and disabled.
        self.assertEqual(check_live(self.robot.do("controls", windows_path(PROGRAM), 130), 130,
                                    {STATUS: ""}), [])
        # The control keeps its position inside its range, so start-up's advance by 1 from the
        # range's lower end shows as 2; an emptied step bar shows its lower end, 1.
        self.assertEqual(self.bar(OVERALL), (1, 2400, 2))
        self.assertEqual(self.bar(STEP_BAR), (1, 25, 1))
        self.assertEqual((self.text(STATUS), self.text(NOTE)), ("", ""))
        cancel = self.state(CANCEL)
        self.assertEqual((cancel["visible"], cancel["enabled"]), ("0", "0"))

        # Before WM_UPGRADE_SHOW the close box asks nothing and closes nothing.
        self.robot.do("syscommand", SC_CLOSE)
        self.robot.do("no-window", CONFIRM_TITLE, 1500)
        self.assertEqual(self.state()["visible"], "1")

        # WM_UPGRADE_SHOW enables the hidden button; now the close box asks.
        self.post(SHOW)
        self.settle()
        cancel = self.state(CANCEL)
        self.assertEqual((cancel["visible"], cancel["enabled"]), ("0", "1"))
        self.robot.do("syscommand", SC_CLOSE)
        box = self.confirmation()
        self.assertEqual(box["text"], CONFIRM_TEXT)
        self.assertEqual(box["buttons"], "Yes,No")
        self.assertEqual(box["icon"], "0")
        self.assertEqual(box["owner"], self.progress, "the confirmation is the window's own")

        # No leaves everything as it was.
        self.robot.do("press", "NO")
        self.robot.do("wait-gone", 5000)
        self.use_progress()
        self.settle()
        self.assertEqual(self.text(NOTE), "")
        self.assertEqual(self.state(CANCEL)["enabled"], "1")
        self.assertEqual(self.bar(OVERALL), (1, 2400, 2))

        # Notifications posted while the confirmation is open all take effect, in order, by the
        # time it closes. Any other order would end with other positions.
        self.robot.do("key", "ESCAPE")
        self.confirmation()
        self.use_progress()
        for notification in [(STEP, 0, 100), (NEARLY_DONE,), (STEP, 0, 1),
                             (TICK, 0, 5), (TICK_RESET,), (TICK, 0, 3)]:
            self.post(*notification)
        self.settle()
        self.robot.do("wait-box", CONFIRM_TITLE, 5000)
        self.robot.do("press", "YES")
        self.robot.do("wait-gone", 5000)
        self.use_progress()
        self.robot.do("wait-text", NOTE, "Canceling", 5000)
        self.assertEqual(self.bar(OVERALL), (1, 2400, 2400), "+100, then 2399, then +1")
        self.assertEqual(self.bar(STEP_BAR), (1, 25, 4), "+5, then emptied (1), then +3")
        self.assertEqual(self.state(CANCEL)["enabled"], "0", "a confirmed request disables it")
        self.assertEqual(self.state()["visible"], "1", "the request leaves the window open")

        # A timed step of 4 seconds: range 1 to 5, one unit a second, then the old range back.
        self.post(TICK_RESET)
        self.settle()
        self.post(TIMED, 0, 4)
        started = time.monotonic()
        self.assertEqual(self.bar(STEP_BAR)[:2], (1, 5))
        moves = []
        last = self.bar(STEP_BAR)
        while time.monotonic() - started < 9:
            now = self.bar(STEP_BAR)
            if now != last:
                moves.append((round(time.monotonic() - started, 1), now))
                last = now
            if now[:2] == (1, 25):
                break
            time.sleep(0.1)
        positions = [position for _, (_, _, position) in moves]
        self.assertEqual(positions, [2, 3, 4, 5, 1], "moves %r" % moves)
        self.assertEqual(moves[-1][1][:2], (1, 25), "the range before the step comes back")
        restored_after = moves[-1][0]
        self.assertTrue(4.0 <= restored_after <= 7.5, "five ticks a second apart: %r" % moves)

        self.end_by_the_worker_box()

    def test_show_and_nearly_done_bring_back_a_minimised_or_hidden_window(self):
        self.open_progress_window(FAST_PROGRAM)
        self.robot.do("syscommand", SC_MINIMIZE)
        self.settle()
        self.assertEqual(self.state()["iconic"], "1")
        self.post(SHOW)
        self.settle()
        state = self.state()
        self.assertEqual((state["iconic"], state["visible"]), ("0", "1"))

        # Enter ends the window as a dialog: hidden, not destroyed.
        self.robot.do("key", "RETURN")
        self.settle()
        self.assertEqual(self.state()["visible"], "0")
        self.post(NEARLY_DONE)
        self.settle()
        self.assertEqual(self.state()["visible"], "1")
        self.assertEqual(self.bar(OVERALL)[2], 2399)
        self.end_by_the_worker_box()

    def test_two_failed_notifications_close_the_window_once_and_end_the_program(self):
        self.open_progress_window(FAST_PROGRAM)
        self.post(FAILED)
        self.post(FAILED)
        self.assertEqual(self.program.wait_exit(20), 0)

    def test_a_notification_value_outside_the_table_has_no_effect(self):
        self.open_progress_window(FAST_PROGRAM)
        before = (self.bar(OVERALL), self.bar(STEP_BAR), self.state())
        for value in (1028, 1024, 1034):
            self.post(value, 0, 7)
        self.settle()
        self.assertEqual((self.bar(OVERALL), self.bar(STEP_BAR), self.state()), before)
        self.end_by_the_worker_box()


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"] + UNITTEST_ARGS)
