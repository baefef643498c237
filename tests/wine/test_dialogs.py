"""The operator dialogs and boxes that the worker shows, each through the program's own Windows
operator on a worker thread of the dialog host, whose main window stands in for the progress
window: their templates, their data exchange and every guarding box."""
import sys
import tempfile
import unittest

from dialog_tables import check_live, check_template
from wine_support import (TITLE_PREFIX, Program, Robot, build_arguments, end_every_wine_program,
                          new_windows, windows_path)

ARGS, UNITTEST_ARGS = build_arguments(__doc__)
HOST = ARGS.build / "CorvaneDialogHost.exe"
PROGRAM = ARGS.build / "CorvaneUpgrader.exe"

HOST_CAPTION = "Corvane dialog host"
ADDRESS_CAPTION = "Corvane Upgrade Utility - Get IP Address"
LOGIN_CAPTION = "Corvane - Login as Administrator"
VERIFY_CAPTION = "Corvane Upgrade Utility - Verify Version Number"

ENTER_ADDRESS_TITLE = TITLE_PREFIX + "Enter IP address"
ENTER_ADDRESS_TEXT = "Please enter the IP address of your Corvane, then click OK."
CANCEL_TITLE = TITLE_PREFIX + "user requested cancel"
CANCEL_TEXT = ("Canceling may result in the Corvane becoming unusable. Are you sure you want to "
               "cancel the upgrade of this Corvane?")
MISSING_NAME_TITLE = "Corvane login - Missing username"
MISSING_NAME_TEXT = "You must enter a username."
LOGIN_CANCEL_TITLE = "Corvane login - cancel requested"
LOGIN_CANCEL_TEXT = "Turn the Corvane off, then on again."

ADDRESS, NAME, PASSWORD, MESSAGE = 1000, 1008, 1009, 1014
EM_GETPASSWORDCHAR = 0xD2
SC_CLOSE = 0xF060
THIRTY_FIVE = "abcdefghijklmnopqrstuvwxyz0123456789"[:35]


class OperatorDialogTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.robot = Robot(ARGS.build)
        cls.folder = tempfile.mkdtemp(prefix="corvane-dialogs-")

    @classmethod
    def tearDownClass(cls):
        cls.robot.close()

    def setUp(self):
        self.host = None

    def tearDown(self):
        if self.host is not None and self.host.running():
            self.robot.close()
            end_every_wine_program()
            type(self).robot = Robot(ARGS.build)

    def show(self, request, caption):
        """Starts the host with one request and waits for its dialog; the host's main window."""
        self.host = Program(HOST, self.folder, request, capture=True)
        _, values, _ = self.robot.one("wait-window", HOST_CAPTION, 20000)
        self.main_window = values[0]
        _, values, dialog = self.robot.one("wait-window", caption, 20000)
        self.dialog = values[0]
        self.assertEqual(dialog["owner"], self.main_window,
                         "a dialog without parent is owned by the thread's main window")
        return dialog

    def result(self):
        """The host's answer line, after it has ended."""
        out = self.host.output(30).strip().splitlines()
        self.assertEqual(self.host.process.returncode, 0)
        self.assertEqual(len(out), 1, out)
        return out[0]

    def box(self, title):
        _, _, box = self.robot.one("wait-box", title, 10000)
        self.assertEqual(box["owner"], self.dialog, "a guarding box is owned by its dialog")
        self.assertEqual(box["icon"], "0")
        return box

    def back_to_dialog(self):
        self.robot.do("wait-gone", 5000)
        self.robot.do("use", self.dialog)
        self.robot.do("sleep", 200)

    def text(self, ident):
        return self.robot.one("text", ident)[1][1]

    def main_window_enabled(self):
        self.robot.do("use", self.main_window)
        enabled = self.robot.one("state")[2]["enabled"]
        self.robot.do("use", self.dialog)
        return enabled

    def test_templates_match_their_tables(self):
        exe = windows_path(PROGRAM)
        for template in (129, 133, 141):
            with self.subTest(template=template):
                self.assertEqual(check_template(self.robot.do("template", exe, template), template),
                                 [])

    def test_address_dialog(self):
        self.show("address", ADDRESS_CAPTION)
        self.assertEqual(check_live(self.robot.do("controls", windows_path(HOST), 129), 129), [])
        self.assertEqual(self.main_window_enabled(), "0", "the owner is disabled while it is open")

        # OK with nothing typed: the reminder, and the dialog stays.
        self.robot.do("press", "OK")
        box = self.box(ENTER_ADDRESS_TITLE)
        self.assertEqual((box["text"], box["buttons"]), (ENTER_ADDRESS_TEXT, "OK"))
        self.robot.do("press", "OK")
        self.back_to_dialog()

        # Cancel, Escape and the close box all ask; No keeps the dialog and its text.
        self.robot.do("type", ADDRESS, "10.0.0.7")
        for action in (["press", "CANCEL"], ["key", "ESCAPE"], ["syscommand", SC_CLOSE]):
            with self.subTest(action=action):
                self.robot.do(*action)
                box = self.box(CANCEL_TITLE)
                self.assertEqual((box["text"], box["buttons"]), (CANCEL_TEXT, "Yes,No"))
                self.robot.do("press", "NO")
                self.back_to_dialog()
                self.assertEqual(self.text(ADDRESS), "10.0.0.7")

        self.robot.do("press", "OK")
        self.assertEqual(self.result(), 'address ok "10.0.0.7"')

    def test_address_dialog_yes_cancels(self):
        self.show("address", ADDRESS_CAPTION)
        self.robot.do("press", "CANCEL")
        self.box(CANCEL_TITLE)
        self.robot.do("press", "YES")
        self.assertEqual(self.result(), "address cancel")

    def test_address_dialog_takes_any_text_unchanged(self):
        for typed in ("   ", "corvane.example.org", "x" * 300):
            with self.subTest(typed=typed[:20]):
                self.show("address", ADDRESS_CAPTION)
                self.robot.do("set-text", ADDRESS, typed)
                self.robot.do("key", "RETURN")
                self.assertEqual(self.result(), "address ok \"%s\"" % typed)

    def test_login_dialog_guards(self):
        self.show("login", LOGIN_CAPTION)
        self.assertEqual(check_live(self.robot.do("controls", windows_path(HOST), 133), 133), [])
        self.assertEqual(self.main_window_enabled(), "0")

        # The password edit hides what is typed.
        self.assertNotEqual(self.robot.one("send", PASSWORD, EM_GETPASSWORDCHAR)[1][0], "0")
        self.assertEqual(self.robot.one("send", NAME, EM_GETPASSWORDCHAR)[1][0], "0")

        # An empty name with a password: the reminder, and the dialog stays.
        self.robot.do("type", PASSWORD, "secret")
        self.robot.do("press", "OK")
        box = self.box(MISSING_NAME_TITLE)
        self.assertEqual((box["text"], box["buttons"]), (MISSING_NAME_TEXT, "OK"))
        self.robot.do("press", "OK")
        self.back_to_dialog()
        self.assertEqual(self.text(PASSWORD), "secret")

        # Neither edit takes a 31st character, typed or pasted.
        self.robot.do("set-text", PASSWORD, "")
        self.robot.do("type", NAME, THIRTY_FIVE)
        self.robot.do("paste", PASSWORD, THIRTY_FIVE)
        self.assertEqual(self.text(NAME), THIRTY_FIVE[:30])
        self.assertEqual(self.text(PASSWORD), THIRTY_FIVE[:30])
        self.robot.do("press", "OK")
        self.assertEqual(self.result(),
                         'login ok "%s" "%s"' % (THIRTY_FIVE[:30], THIRTY_FIVE[:30]))

    def test_login_dialog_takes_a_name_with_an_empty_password(self):
        self.show("login", LOGIN_CAPTION)
        self.robot.do("type", NAME, "admin")
        self.robot.do("key", "RETURN")
        self.assertEqual(self.result(), 'login ok "admin" ""')

    def test_login_dialog_cancel_tells_to_restart_the_appliance(self):
        for action in (["press", "CANCEL"], ["key", "ESCAPE"], ["syscommand", SC_CLOSE]):
            with self.subTest(action=action):
                self.show("login", LOGIN_CAPTION)
                self.robot.do("type", NAME, "admin")
                self.robot.do(*action)
                box = self.box(LOGIN_CANCEL_TITLE)
                self.assertEqual((box["text"], box["buttons"]), (LOGIN_CANCEL_TEXT, "OK"))
                self.robot.do("press", "OK")
                self.assertEqual(self.result(), "login cancel")

    def test_verify_dialog(self):
        message = "The Corvane runs version 2.0.0. Upgrade it to version 2.1.0?"
        self.show("verify:" + message, VERIFY_CAPTION)
        self.assertEqual(check_live(self.robot.do("controls", windows_path(HOST), 141), 141,
                                    {MESSAGE: message}), [])
        self.assertEqual(self.main_window_enabled(), "0")
        self.robot.do("key", "RETURN")
        self.assertEqual(self.result(), "verify ok")

        for action in (["key", "ESCAPE"], ["press", "CANCEL"]):
            with self.subTest(action=action):
                self.show("verify:" + message, VERIFY_CAPTION)
                self.robot.do(*action)
                self.assertEqual(new_windows(self.robot, self.host, 20), [], "no box")
                self.assertEqual(self.result(), "verify cancel")

    def test_main_window_is_enabled_again_after_the_dialog(self):
        self.host = Program(HOST, self.folder, "verify:first", "box:after", capture=True)
        _, values, _ = self.robot.one("wait-window", HOST_CAPTION, 20000)
        self.main_window = values[0]
        self.robot.do("wait-window", VERIFY_CAPTION, 20000)
        self.robot.do("press", "OK")
        self.robot.do("wait-box", "Corvane dialog host box", 10000)
        self.robot.do("use", self.main_window)
        self.assertEqual(self.robot.one("state")[2]["enabled"], "1")
        self.robot.do("wait-box", "Corvane dialog host box", 10000)
        self.robot.do("press", "OK")
        self.assertEqual(self.host.output(30).split(), ["verify", "ok", "box", "1"])

    def test_worker_box_has_no_owner_and_application_box_the_program_name(self):
        self.host = Program(HOST, self.folder, "box:plain", "appbox:Cannot reboot Corvane",
                            capture=True)
        _, values, _ = self.robot.one("wait-window", HOST_CAPTION, 20000)
        main_window = values[0]
        _, _, box = self.robot.one("wait-box", "Corvane dialog host box", 20000)
        self.assertEqual((box["text"], box["buttons"], box["icon"], box["owner"]),
                         ("plain", "OK", "0", "0x0"))
        self.robot.do("press", "OK")
        _, _, box = self.robot.one("wait-box", "CorvaneDialogHost", 20000)
        self.assertEqual((box["text"], box["buttons"], box["icon"], box["owner"]),
                         ("Cannot reboot Corvane", "OK", "1", main_window))
        self.robot.do("press", "OK")
        self.assertEqual(self.host.output(30).split(), ["box", "1", "appbox", "done"])


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"] + UNITTEST_ARGS)
