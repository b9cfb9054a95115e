"""Drives the running kalnor with real input and reads it back through AT-SPI, as a screen reader
would; prints every check that fails and exits non-zero if any did."""
import subprocess
import sys
import time

import pyatspi

failures = []


def check(ok, message):
    if not ok:
        failures.append(message)
        print("FAIL: " + message, flush=True)
    return ok


def poll(probe, timeout=10.0):
    """The tree is built and updated asynchronously: retries probe until it gives something truthy."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            value = probe()
        except Exception:  # an object may vanish or be half-built while we look
            value = None
        if value or time.monotonic() > deadline:
            return value
        time.sleep(0.1)


def children(acc):
    return [c for c in (acc.getChildAtIndex(i) for i in range(acc.childCount)) if c is not None]


def find(root, pred):
    """First descendant matching pred, breadth first; the cells of tables are not walked."""
    queue = [root]
    while queue:
        node = queue.pop(0)
        for child in children(node):
            if pred(child):
                return child
            if child.getRole() != pyatspi.ROLE_TABLE:
                queue.append(child)
    return None


def top_level(pred):
    """A shown window of the application matching pred; hidden ones stay in the tree."""
    shown = (w for w in children(app) if w.getState().contains(pyatspi.STATE_SHOWING))
    return next((w for w in shown if pred(w)), None)


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def text_of(acc):
    return acc.queryText().getText(0, -1)


def show(acc):
    return "nothing" if acc is None else "%s %r" % (acc.getRoleName(), acc.name)


def finish():
    print("%d checks failed" % len(failures) if failures else "all accessibility checks passed")
    sys.exit(1 if failures else 0)


# 1. The application and its main window.
desktop = pyatspi.Registry.getDesktop(0)
app = poll(lambda: next((a for a in children(desktop) if a.name == "kalnor"), None), 20)
if not check(app is not None, "no application named 'kalnor' on the accessibility bus"):
    finish()
main = poll(lambda: top_level(lambda a: a.name == "Kalnor"))
if not check(main is not None, "no window named 'Kalnor' in the application"):
    finish()
check(main.getRole() == pyatspi.ROLE_FRAME, "main window: role %s, expected frame" % main.getRoleName())

# A row entered with real clicks and key presses, as a user would. Window y 130 lies in the third
# item row, so that is the table's row 2.
ENTERED = 2
window = subprocess.run(
    ["xdotool", "search", "--onlyvisible", "--name", "^Kalnor$"], capture_output=True, text=True, check=True
).stdout.split()[0]
xdotool("windowfocus", window)
for x, typed in ((120, "1200"), (200, "3")):
    xdotool("mousemove", "--window", window, x, 130, "click", "1")
    xdotool("type", "--delay", "20", typed)
    xdotool("key", "Return")

# 2. The totals, found by the names a screen reader announces.
TOTALS = {"合計": "3,600", "税額": "288", "総計": "3,888", "小計": ""}
totals = {}
for caption in TOTALS:
    field = find(main, lambda a: a.name == caption and a.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY))
    named = show(find(main, lambda a: a.name == caption))
    if check(field is not None, "no text field named %r (found %s)" % (caption, named)):
        totals[caption] = field
        check(field.getState().contains(pyatspi.STATE_READ_ONLY), "total %r is not read-only" % caption)


def read_totals():
    return {caption: text_of(field) for caption, field in totals.items()}


expected_totals = {caption: TOTALS[caption] for caption in totals}
poll(lambda: read_totals() == expected_totals)
seen = read_totals()
check(seen == expected_totals, "totals read %r, expected %r" % (seen, expected_totals))

# 3. The grid as a table: the item rows and columns, their headers, and the displayed cell texts.
grid = find(main, lambda a: a.getRole() == pyatspi.ROLE_TABLE)
table = None
if check(grid is not None, "no table in the main window"):
    try:
        table = grid.queryTable()
    except NotImplementedError:
        check(False, "the grid has no Table interface")
if table is not None:
    size = (table.nRows, table.nColumns)
    check(size == (100, 3), "table is %dx%d, expected 100x3" % size)
    for column, caption in enumerate(("単価", "数量", "金額")):
        description = table.getColumnDescription(column)
        check(description == caption, "column %d described as %r, expected %r" % (column, description, caption))
        header = table.getColumnHeader(column)
        check(header is not None and header.name == caption, "column %d header is %s" % (column, show(header)))
    for row, label in ((0, "1"), (ENTERED, str(ENTERED + 1))):
        description = table.getRowDescription(row)
        check(description == label, "row %d described as %r, expected %r" % (row, description, label))

ROW = ("1,200", "3", "3,600")


def read_row():
    cells = (table.getAccessibleAt(ENTERED, column) for column in range(3))
    return tuple(cell.name if cell else None for cell in cells)


if table is not None:
    poll(lambda: read_row() == ROW)
    cells = read_row()
    check(cells == ROW, "the entered row reads %r, expected %r" % (cells, ROW))

# The current cell is the focused one, and the open editor is read out as that cell.
if table is not None:
    xdotool("key", "Left")  # from the quantity back to the unit price
    price = table.getAccessibleAt(ENTERED, 0)
    focused = poll(lambda: price.getState().contains(pyatspi.STATE_FOCUSED))
    check(focused, "the unit price cell is not focused after Left")
    xdotool("key", "F2")
    label = "単価 %d" % (ENTERED + 1)

    def editor():
        last = grid.getChildAtIndex(grid.childCount - 1)
        return last if last is not None and last.getRole() == pyatspi.ROLE_TEXT else None

    opened = poll(editor)
    if check(opened is not None, "no editor in the table after F2"):
        check(opened.name == label, "the editor is named %r, expected %r" % (opened.name, label))
        check(text_of(opened) == "1200", "the editor holds %r, expected '1200'" % text_of(opened))
        check(opened.getState().contains(pyatspi.STATE_FOCUSED), "the editor is not focused")
    xdotool("key", "Escape")
    check(poll(lambda: editor() is None, 5), "the editor is still in the table after Escape")

# 4. The Clear question, answered No: nothing may change.
xdotool("key", "ctrl+d")


def question():
    return top_level(lambda a: a.name == "Kalnor" and a != main)


dialog = poll(question)
if check(dialog is not None, "no second window named 'Kalnor' after ctrl+d"):
    role = dialog.getRoleName()
    check(dialog.getRole() == pyatspi.ROLE_ALERT, "the question's role is %s, expected alert" % role)
    message = "消去します。よろしいですか？"
    label = find(dialog, lambda a: a.getRole() == pyatspi.ROLE_LABEL and a.name == message)
    check(label is not None, "no label in the question reads %r" % message)
    check(dialog.description == message, "the question's description is %r" % dialog.description)
    buttons = {}
    for caption in ("はい", "いいえ"):
        button = find(dialog, lambda a: a.getRole() == pyatspi.ROLE_PUSH_BUTTON and a.name.startswith(caption))
        if check(button is not None, "no push button for %r in the question" % caption):
            buttons[caption] = button
            check(button.name == caption, "button named %r, expected %r" % (button.name, caption))
    if "いいえ" in buttons:
        box = buttons["いいえ"].queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        xdotool("mousemove", box.x + box.width // 2, box.y + box.height // 2, "click", "1")
    else:  # so the checks below still run
        xdotool("key", "Escape")
    check(poll(lambda: question() is None, 5), "the question is still there after answering いいえ")
    if table is not None:
        cells = read_row()
        check(cells == ROW, "after いいえ the entered row reads %r, expected %r" % (cells, ROW))
    check(read_totals() == expected_totals, "after いいえ the totals read %r" % read_totals())

finish()
