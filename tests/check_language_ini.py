#!/usr/bin/env python3
"""No string id of the resource library is given twice, and the English
language file's dialog sections say what the resource library's templates
say: a translator starts from that file, and a text that differs
there replaces the template's at run time.

Every DIALOG/DIALOGEX of the .rc file carries a comment line
"// section DLG_<Name>" above it (templates may share a section). The
section's "Caption" is the template's CAPTION, and key <id> is the text of
control <id> for the button and static kinds; both ways: no text of a
template missing from the file, no key in the file that no template has.

Usage: check_language_ini.py <res_en.rc> <tempolan_en.ini>
"""
import re
import sys

TEXT_KINDS = {"PUSHBUTTON", "DEFPUSHBUTTON", "LTEXT", "RTEXT", "CTEXT", "AUTOCHECKBOX", "AUTORADIOBUTTON",
              "CHECKBOX", "RADIOBUTTON", "STATE3", "AUTO3STATE", "GROUPBOX"}
OTHER_KINDS = {"EDITTEXT", "COMBOBOX", "LISTBOX", "SCROLLBAR", "ICON"}
TEXT_CLASSES = {"button", "static", "wc_button", "wc_static"}
# the ids <windows.h> names
NAMED_IDS = {"IDOK": 1, "IDCANCEL": 2, "IDABORT": 3, "IDRETRY": 4, "IDIGNORE": 5, "IDYES": 6, "IDNO": 7,
             "IDCLOSE": 8, "IDHELP": 9, "IDC_STATIC": -1}
HEADER_WORDS = {"STYLE", "EXSTYLE", "CAPTION", "FONT", "MENU", "CLASS", "LANGUAGE", "CHARACTERISTICS", "VERSION"}


def rc_string(literal):
    """The text of an rc string literal (with its quotes), as the compiler stores it."""
    body = literal[1:-1]
    out, i = [], 0
    escapes = {"n": "\n", "t": "\t", "r": "\r", "a": "\a", "\\": "\\", '"': '"', "0": "\0"}
    while i < len(body):
        c = body[i]
        if c == '"' and i + 1 < len(body) and body[i + 1] == '"':
            out.append('"')
            i += 2
        elif c == "\\" and i + 1 < len(body) and body[i + 1] in escapes:
            out.append(escapes[body[i + 1]])
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def tokens(line):
    """The comma-separated fields of a statement, strings kept whole."""
    fields, current, in_string, i = [], "", False, 0
    while i < len(line):
        c = line[i]
        if in_string:
            current += c
            if c == '"':
                if i + 1 < len(line) and line[i + 1] == '"':
                    current += '"'
                    i += 1
                else:
                    in_string = False
        elif c == '"':
            in_string = True
            current += c
        elif c == ",":
            fields.append(current.strip())
            current = ""
        elif line.startswith("//", i):
            break
        else:
            current += c
        i += 1
    fields.append(current.strip())
    return fields


def control_id(field):
    field = field.strip()
    if field in NAMED_IDS:
        return NAMED_IDS[field]
    try:
        return int(field, 0)
    except ValueError:
        return None


def read_templates(path, faults):
    """[(template id, section, caption or None, {control id: text}, line)]"""
    with open(path, encoding="utf-8-sig") as f:
        lines = f.read().splitlines()
    templates = []
    i = 0
    while i < len(lines):
        m = re.match(r"^\s*(\w+)\s+DIALOG(EX)?\b", lines[i])
        if not m:
            i += 1
            continue
        name, at = m.group(1), i + 1
        section = None
        j = i - 1
        while j >= 0 and lines[j].strip().startswith("//"):
            s = re.match(r"^\s*//\s*section\s+(DLG_\w+)\s*$", lines[j])
            if s:
                section = s.group(1)
            j -= 1
        if not section:
            faults.append(f"{path}:{at}: template {name} has no '// section DLG_<Name>' line above it")
        caption, texts = None, {}
        i += 1
        while i < len(lines) and lines[i].strip().upper() != "BEGIN":
            head = lines[i].strip()
            if head.upper().startswith("CAPTION"):
                caption = rc_string(head[len("CAPTION"):].strip())
            i += 1
        i += 1
        while i < len(lines) and lines[i].strip().upper() != "END":
            statement = lines[i].strip()
            line_no = i + 1
            i += 1
            # a statement goes on where a line ends with a comma or an operator
            while statement and statement[-1] in ",|" and i < len(lines):
                statement += " " + lines[i].strip()
                i += 1
            if not statement or statement.startswith("//"):
                continue
            kind, _, rest = statement.partition(" ")
            kind = kind.upper()
            fields = tokens(rest)
            if kind in TEXT_KINDS:
                text_field, id_field = fields[0], fields[1] if len(fields) > 1 else ""
            elif kind == "CONTROL":
                if len(fields) < 3 or fields[2].strip('"').lower() not in TEXT_CLASSES:
                    continue
                text_field, id_field = fields[0], fields[1]
            elif kind in OTHER_KINDS:
                continue
            else:
                faults.append(f"{path}:{line_no}: template {name}: statement not understood: {statement}")
                continue
            if not (text_field.startswith('"') and text_field.endswith('"')):
                continue  # an icon or bitmap by id
            text = rc_string(text_field)
            cid = control_id(id_field)
            if cid is None:
                faults.append(f"{path}:{line_no}: template {name}: id {id_field} not understood")
                continue
            if not text or cid == -1:
                continue
            if "\n" in text or "\r" in text or "\t" in text:
                faults.append(f"{path}:{line_no}: template {name}: control {cid}'s text holds a control "
                              f"character, which a language file cannot carry")
            if cid in texts and texts[cid] != text:
                faults.append(f"{path}:{line_no}: template {name}: control {cid} twice with other texts")
            texts[cid] = text
        templates.append((name, section, caption, texts, at))
        i += 1
    return templates


def check_string_ids(path, faults):
    """An id given twice in the STRINGTABLE blocks: the compiler keeps one
    text without a word, and the other user reads the wrong one."""
    seen = {}
    inside = False
    with open(path, encoding="utf-8") as f:
        for n, line in enumerate(f, 1):
            word = line.strip()
            if word == "STRINGTABLE":
                inside = True
            elif inside and word == "END":
                inside = False
            elif inside:
                m = re.match(r"^(\d+)\s+\"", word)
                if m:
                    sid = int(m.group(1))
                    if sid in seen:
                        faults.append(f"{path}:{n}: string {sid} also at line {seen[sid]}")
                    seen.setdefault(sid, n)


def read_ini(path):
    """{section: {key: value}} of the DLG_ sections, with the line of each key."""
    raw = open(path, "rb").read()
    if raw.startswith(b"\xff\xfe"):
        text = raw[2:].decode("utf-16-le")
    elif raw.startswith(b"\xef\xbb\xbf"):
        text = raw[3:].decode("utf-8")
    else:
        text = raw.decode("cp1252")
    sections, current = {}, None
    for n, line in enumerate(text.splitlines(), 1):
        stripped = line.strip()
        if not stripped or stripped.startswith(";"):
            continue
        m = re.match(r"^\[(.*)\]$", stripped)
        if m:
            current = m.group(1) if m.group(1).startswith("DLG_") else None
            if current is not None:
                sections.setdefault(current, {})
            continue
        if current is None or "=" not in line:
            continue
        key, _, value = line.partition("=")
        # the profile functions drop the blanks around a key and its value
        sections[current][key.strip()] = (value.strip(), n)
    return sections


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    rc_path, ini_path = sys.argv[1], sys.argv[2]
    faults = []
    templates = read_templates(rc_path, faults)
    check_string_ids(rc_path, faults)
    ini = read_ini(ini_path)

    expected = {}  # section: {key: (text, where)}
    for name, section, caption, texts, line in templates:
        if not section:
            continue
        keys = expected.setdefault(section, {})
        where = f"{rc_path}:{line} template {name}"
        entries = ([("Caption", caption)] if caption else []) + [(str(cid), t) for cid, t in sorted(texts.items())]
        for key, text in entries:
            if key in keys and keys[key][0] != text:
                faults.append(f"{where}: [{section}] {key} is \"{text}\" here but \"{keys[key][0]}\" in "
                              f"{keys[key][1]}, which shares the section")
            keys.setdefault(key, (text, where))

    for section, keys in sorted(expected.items()):
        have = ini.get(section)
        if have is None:
            if keys:
                faults.append(f"{ini_path}: section [{section}] missing")
            continue
        for key, (text, where) in sorted(keys.items()):
            if key not in have:
                faults.append(f"{ini_path}: [{section}] lacks {key}=\"{text}\" ({where})")
            elif have[key][0] != text:
                faults.append(f"{ini_path}:{have[key][1]}: [{section}] {key}=\"{have[key][0]}\" but the "
                              f"template says \"{text}\" ({where})")
        for key, (value, n) in sorted(have.items()):
            if key not in keys:
                faults.append(f"{ini_path}:{n}: [{section}] {key}=\"{value}\" matches no text of its templates")
    for section in sorted(set(ini) - set(expected)):
        faults.append(f"{ini_path}: section [{section}] belongs to no template")

    for fault in faults:
        print("FAIL: " + fault)
    print(f"{len(templates)} templates, {len(expected)} sections: " + ("ok" if not faults else f"{len(faults)} faults"))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
