"""Start-up of the real program under Wine: the single-instance guard, every package failure box,
the introduction dialog's text and its ends, the About box, the templates of both dialogs."""
import sys
import unittest

from dialog_tables import check_live, check_template
from wine_support import (INTRO_CAPTION, PROGRESS_CAPTION, TITLE_PREFIX, PackageFolder, Program,
                          Robot, build_arguments, end_every_wine_program, new_windows, parse_line,
                          windows_path)

ARGS, UNITTEST_ARGS = build_arguments(__doc__)
PROGRAM = ARGS.build / "CorvaneUpgrader.exe"
FAST_PROGRAM = ARGS.build / "CorvaneUpgraderFast.exe"

OPEN_TITLE = TITLE_PREFIX + "Cannot open file"
READ_TITLE = TITLE_PREFIX + "Cannot read file"
AGAIN = "The file may be missing or corrupted. Restart your computer and run the Corvane upgrade " \
        "utility again."
CANNOT_OPEN_VERSION = "Cannot open the upgrade version number file. " + AGAIN
CANNOT_READ_VERSION = "Cannot read the upgrade version number file. " + AGAIN
CANNOT_OPEN_LIST = "Cannot open the file that contains the list of required files. " + AGAIN
CANNOT_READ_LIST = "Cannot read the file that contains the list of required files. " + AGAIN
MODEM_TITLE = TITLE_PREFIX + "Cannot find modem"
MODEM_TEXT = ("Cannot create a connection to the modem. Your modem may be turned off or the "
              "computer memory may be low. Make sure the modem is turned on, then restart the "
              "computer and run the Corvane upgrade utility again.")
INTRO_PREFIX = "This utility will upgrade your Corvane software to version "


def missing(name):
    return "A required file named " + name + " is missing."


class StartUpTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.robot = Robot(ARGS.build)

    @classmethod
    def tearDownClass(cls):
        cls.robot.close()

    def setUp(self):
        self.package = PackageFolder()
        self.programs = []

    def tearDown(self):
        self.clear_up()
        self.package.cleanup()

    def clear_up(self):
        """Ends whatever a failed case left running, so that the next starts alone."""
        if any(program.running() for program in self.programs):
            self.robot.close()
            end_every_wine_program()
            type(self).robot = Robot(ARGS.build)
        self.programs = []

    def fresh_package(self):
        self.clear_up()
        self.package.cleanup()
        self.package = PackageFolder()

    def restart_robot(self):
        """Objects the robot holds (events, open files) live as long as the robot."""
        self.robot.close()
        type(self).robot = Robot(ARGS.build)

    def start(self, exe=PROGRAM):
        program = Program(exe, self.package.path)
        self.programs.append(program)
        return program

    def wait_intro(self):
        return self.robot.one("wait-window", INTRO_CAPTION, 20000)

    def assert_ends_without_window(self, program, after):
        """program ends after the robot's action and shows no window while it does."""
        self.robot.do(*after)
        shown = new_windows(self.robot, program, 20)
        self.assertEqual(program.wait_exit(20), 0)
        self.assertEqual(shown, [])

    def test_second_copy_ends_at_once_without_any_window(self):
        first = self.start()
        self.wait_intro()
        second = self.start()
        shown = new_windows(self.robot, second, 30)
        self.assertFalse(second.running(), "the second copy is still running")
        self.assertEqual(second.wait_exit(1), 0)
        self.assertEqual(shown, [], "the second copy showed a window")
        _, _, intro = self.wait_intro()
        self.assertEqual(intro["enabled"], "1")
        self.assertTrue(first.running(), "the first copy was disturbed")
        self.assert_ends_without_window(first, ["press", "CANCEL"])

    def test_mapping_that_cannot_be_made_has_the_modem_box(self):
        # Another kind of object already holds the name, so the mapping cannot be created.
        self.robot.do("hold-event", "UpgraderTestMap")
        try:
            program = self.start()
            _, _, box = self.robot.one("wait-box", MODEM_TITLE, 20000)
            self.assertEqual(box["text"], MODEM_TEXT)
            self.assert_plain_box(box)
            self.robot.do("press", "OK")
            self.assertEqual(program.wait_exit(20), 0)
        finally:
            self.restart_robot()

    def assert_plain_box(self, box):
        self.assertEqual(box["buttons"], "OK")
        self.assertEqual(box["icon"], "0")
        self.assertEqual(box["owner"], "0x0")

    def test_each_package_failure_shows_its_box_and_ends(self):
        cases = [
            ("list missing", lambda p: p.remove("RequiredFiles.txt"),
             OPEN_TITLE, missing("RequiredFiles.txt")),
            ("listed file missing", lambda p: p.remove("cui.tar"), OPEN_TITLE, missing("cui.tar")),
            ("listed file missing, last line without end",
             lambda p: p.write("RequiredFiles.txt", "corvane.sys\r\nabsent.bin"),
             OPEN_TITLE, missing("absent.bin")),
            ("blank line in the list",
             lambda p: p.write("RequiredFiles.txt", "corvane.sys\r\n\r\ncui.tar\r\n"),
             OPEN_TITLE, missing("")),
            ("listed file and version file missing",
             lambda p: (p.remove("corvane.sys"), p.remove("UpgradeVersionNumber.txt")),
             OPEN_TITLE, missing("corvane.sys")),
            ("list is a folder", lambda p: p.folder("RequiredFiles.txt"),
             OPEN_TITLE, CANNOT_OPEN_LIST),
            ("version file missing", lambda p: p.remove("UpgradeVersionNumber.txt"),
             OPEN_TITLE, CANNOT_OPEN_VERSION),
            ("version file is a folder", lambda p: p.folder("UpgradeVersionNumber.txt"),
             OPEN_TITLE, CANNOT_OPEN_VERSION),
        ]
        for name, arrange, title, text in cases:
            with self.subTest(name):
                self.fresh_package()
                arrange(self.package)
                program = self.start()
                _, _, box = self.robot.one("wait-box", title, 20000)
                self.assertEqual(box["text"], text)
                self.assert_plain_box(box)
                self.robot.do("no-window", INTRO_CAPTION, 0)
                self.assert_ends_without_window(program, ["press", "OK"])

    def test_files_held_open_by_others(self):
        # The program reads with a sharing mode that refuses readers beside it but lets writers
        # be: a reader holding the file makes the open fail; a writer does not.
        cases = [
            ("version file held by a reader", "UpgradeVersionNumber.txt", "read",
             OPEN_TITLE, CANNOT_OPEN_VERSION),
            ("list held by a reader", "RequiredFiles.txt", "read", OPEN_TITLE, CANNOT_OPEN_LIST),
            ("version file held by a writer", "UpgradeVersionNumber.txt", "write", None, None),
        ]
        for name, held, access, title, text in cases:
            with self.subTest(name):
                self.fresh_package()
                self.robot.do("open-file", self.package.windows(held), access, "readwrite")
                try:
                    program = self.start()
                    if title is None:
                        _, _, intro = self.wait_intro()
                        _, values, _ = self.robot.one("text", 1013)
                        self.assertEqual(values[1], INTRO_PREFIX + "2.1.0.")
                        self.assert_ends_without_window(program, ["press", "CANCEL"])
                    else:
                        _, _, box = self.robot.one("wait-box", title, 20000)
                        self.assertEqual(box["text"], text)
                        self.assert_ends_without_window(program, ["press", "OK"])
                finally:
                    self.restart_robot()

    def test_files_that_cannot_be_read(self):
        cases = [
            ("version file", "UpgradeVersionNumber.txt", CANNOT_READ_VERSION),
            ("list", "RequiredFiles.txt", CANNOT_READ_LIST),
        ]
        for name, unreadable, text in cases:
            with self.subTest(name):
                self.fresh_package()
                self.package.unreadable(unreadable)
                program = self.start()
                _, _, box = self.robot.one("wait-box", READ_TITLE, 20000)
                self.assertEqual(box["text"], text)
                self.assert_plain_box(box)
                self.assert_ends_without_window(program, ["press", "OK"])

    def test_introduction_text_carries_the_version_verbatim(self):
        cases = [
            ("CR LF", "2.1.0\r\nsecond line\r\n", "2.1.0"),
            ("LF", "2.1.0\nsecond line\n", "2.1.0"),
            ("no line end", "3.0.1", "3.0.1"),
            ("blanks kept", "  2.1 beta \r\n", "  2.1 beta "),
            ("empty file", "", ""),
            ("a very long line", "9." * 10000 + "\r\n", "9." * 10000),
        ]
        for name, content, version in cases:
            with self.subTest(name):
                self.fresh_package()
                self.package.write("UpgradeVersionNumber.txt", content)
                program = self.start(FAST_PROGRAM)
                self.wait_intro()
                _, values, _ = self.robot.one("text", 1013)
                self.assertEqual(values[1], INTRO_PREFIX + version + ".")
                self.assert_ends_without_window(program, ["press", "CANCEL"])

    def test_cancel_escape_and_close_box_end_without_progress_window(self):
        for name, action in [("Cancel", ["press", "CANCEL"]), ("Escape", ["key", "ESCAPE"]),
                             ("close box", ["syscommand", 0xF060]), ("WM_CLOSE", ["close"])]:
            with self.subTest(name):
                self.clear_up()
                program = self.start()
                self.wait_intro()
                self.assert_ends_without_window(program, action)

    def test_introduction_dialog_matches_its_template(self):
        program = self.start()
        _, _, intro = self.wait_intro()
        exe = windows_path(PROGRAM)
        for template in (100, 102):
            with self.subTest(template=template):
                self.assertEqual(check_template(self.robot.do("template", exe, template), template),
                                 [])
        live = self.robot.do("controls", exe, 102)
        self.assertEqual(check_live(live, 102, {1013: INTRO_PREFIX + "2.1.0."}), [])
        _, _, state = self.robot.one("state")
        self.assertEqual(int(state["exstyle"], 16) & 0x40000, 0x40000, "shown on the taskbar")
        self.assert_ends_without_window(program, ["press", "CANCEL"])

    def open_about_box(self):
        """Opens the About box from the system menu by keyboard, as an operator would: its last
        item comes up from the first."""
        self.wait_intro()
        # Under Xvfb without a window manager the dialog may not be active yet when the first
        # keyboard menu command arrives, and then no menu opens: ask again, a bounded few times.
        for _ in range(3):
            self.robot.do("syscommand", 0xF100, 0x20)
            opened, _ = self.robot.attempt("wait-class", "#32768", 4000)
            if opened:
                break
        else:
            self.fail("the system menu did not open")
        self.robot.do("key", "UP")
        self.robot.do("sleep", 300)
        self.robot.do("key", "RETURN")
        self.wait_intro()
        _, _, about = self.robot.one("wait-owned", 10000, "#32770")
        self.assertEqual(about["class"], "#32770")
        self.assertEqual(about["caption"], "")
        return about

    def test_about_item_opens_the_about_box_which_a_click_or_a_character_closes(self):
        program = self.start()
        self.open_about_box()
        live = self.robot.do("controls", windows_path(PROGRAM), 100)
        self.assertEqual(check_live(live, 100), [])
        _, _, picture = parse_line(live[1])
        self.assertEqual(picture["px"], "0,0,280,127", "the picture is bitmap 135, 280 x 127")
        _, _, intro = self.wait_intro()
        self.assertEqual(intro["enabled"], "0", "the About box is modal over the dialog")
        self.robot.do("wait-owned", 5000, "#32770")
        self.robot.do("click")
        self.robot.do("wait-gone", 5000)

        self.open_about_box()
        self.robot.do("char", "q")
        self.robot.do("wait-gone", 5000)

        _, _, intro_state = self.wait_intro()
        self.assertEqual(intro_state["enabled"], "1")
        self.assertTrue(program.running())
        self.assert_ends_without_window(program, ["press", "CANCEL"])


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"] + UNITTEST_ARGS)
