"""The setup list and bill of material of the sample mould, read back with Python's csv module and checked against
what the sample's generator built and the shipped config.def, and the workbook of both read back with openpyxl; and a
name with a comma and quotes, and a Chinese note with a line feed, through import, run and export."""
import csv
import json
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

import openpyxl

QUILLON, SOURCE = sys.argv[1], sys.argv[2]
EXAMPLES = os.path.join(SOURCE, "examples")
DIRECTIONS = {1: "t", -1: "-t", 2: "f", -2: "-f", 3: "s", -3: "-s"}


def as_cell(text):
    """A text as the list writes it: a spreadsheet would run one that starts like a formula, so it leads with '."""
    return "'" + text if text[:1] in ("=", "+", "-", "@") else text
SLOTS = [("ELEC_ROUGH_SPACE", "rough_gap"), ("ELEC_FINISH_SPACE", "finish_gap"),
         ("elec_rough_number", "rough_count"), ("elec_finish_number", "finish_count"),
         ("T_ELEC_ROUGH_SPACE", "special_rough_gap"), ("T_ELEC_FINISH_SPACE", "special_finish_gap"),
         ("t_elec_rough_number", "special_rough_count"), ("t_elec_finish_number", "special_finish_count")]


def quillon(*args):
    result = subprocess.run([QUILLON, *args], capture_output=True, text=True, timeout=600)
    if result.returncode != 0:
        raise AssertionError(f"quillon {' '.join(args)}: {result.returncode}\n{result.stdout}\n{result.stderr}")
    return result.stdout


def read_csv(path, keys=None):
    """The header, the rows as dicts (by keys, the English keys of a list with a Chinese header) and the bytes."""
    with open(path, newline="", encoding="utf-8-sig") as f:
        rows = list(csv.reader(f, strict=True))
    with open(path, "rb") as f:
        raw = f.read()
    return rows[0], [dict(zip(keys or rows[0], row)) for row in rows[1:]], raw


def csv_rows(path):
    with open(path, newline="", encoding="utf-8-sig") as f:
        return list(csv.reader(f, strict=True))


def display_width(text):
    return max(sum(2 if ord(c) >= 0x2E80 else 1 for c in line) for line in text.split("\n"))


def config_value(key):
    with open(os.path.join(SOURCE, "conf", "config.def"), encoding="utf-8") as f:
        return re.search(r"(?m)^" + re.escape(key) + r",([^,]*),EOF", f.read()).group(1)


def size(box):
    return [box["max"][i] - box["min"][i] for i in range(3)]


def mm(value):
    return f"{value:.3f}" if round(value, 3) != 0 else "0.000"


def burn_depth(electrode, core):
    """How far the electrode reaches past the core box's face on its base's side, along the way it burns."""
    axis, sign = {1: (2, 1), -1: (2, -1), 2: (1, -1), -2: (1, 1), 3: (0, 1), -3: (0, -1)}[electrode["direction"]]
    face = core["max"][axis] if sign > 0 else core["min"][axis]
    box = electrode["body_box"]
    far = box["min"][axis] if sign > 0 else box["max"][axis]
    return sign * (face - far)


def model_xy(sheet, view, x, y):
    """The model X and Y of a sheet point in a view that looks along Z, from a dimension's end in that view."""
    anchor = next(a[end] for a in sheet["annotations"] for end in ("first", "second")
                  if end in a and a[end].get("view") == view["tag"] and "model_point" in a[end])
    (ax, ay), model = anchor["sheet_point"], anchor["model_point"]
    u, v = (x - ax) / view["scale"], (y - ay) / view["scale"]
    right, up = view["right"], view["up"]
    return (model[0] + u * right[0] + v * up[0], model[1] + u * right[1] + v * up[1])


class SampleSetupList(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix="quillon_setup_")
        quillon("demo", "-o", cls.dir)
        with open(os.path.join(EXAMPLES, "sample_mould.expected.json"), encoding="utf-8") as f:
            expected = json.load(f)
            cls.expected, cls.core_box = expected["electrodes"], expected["core"]["box"]
        # The demo's lists carry Chinese headers; the same export with --csv-header en gives the English keys that
        # the checks below go by.
        cls.en = os.path.join(cls.dir, "en")
        quillon("export", os.path.join(cls.dir, "sample_mould.prt"), "-o", cls.en, "--csv", "--csv-header", "en")
        cls.header, cls.rows, cls.raw = read_csv(os.path.join(cls.en, "sample_mould.electrodes.csv"))
        cls.zh_header, cls.zh_rows, cls.zh_raw = read_csv(os.path.join(cls.dir, "sample_mould.electrodes.csv"),
                                                          cls.header)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir)

    def test_a_row_per_sheet_in_sheet_order_with_places_and_pages(self):
        self.assertEqual([r["electrode"] for r in self.rows], [e["name"] for e in self.expected])
        self.assertEqual([r["sheet"] for r in self.rows], ["E01", "E02", "E02_1", "E03", "E04", "E05", "E06", "E07"])
        n = len(self.expected)
        for i, (row, e) in enumerate(zip(self.rows, self.expected)):
            self.assertEqual((row["page"], row["pages"]), (str(i + 1), str(n)))
            same_layer = [x for x in self.expected if x["layer"] == e["layer"]]
            self.assertEqual(row["layer"], str(e["layer"]))
            self.assertEqual((row["place"], row["places"]), (str(same_layer.index(e) + 1), str(len(same_layer))))
            self.assertEqual(row["direction"], as_cell(DIRECTIONS[e["direction"]]))
            self.assertEqual(row["chamfer_corner"], str(e["chamfer_corner"]) if e["chamfer_corner"] else "")

    def test_edm_points_are_the_points_the_sheets_dimension(self):
        # The core's origin is the model origin in the demo; a single-side touch point takes the place of the
        # reference point.
        for row, e in zip(self.rows, self.expected):
            point = e["single_side_point"] or e["reference_point"]
            self.assertEqual([row["edm_x"], row["edm_y"], row["edm_z"]], [mm(v) for v in point], e["name"])
        e05 = self.rows[5]
        self.assertEqual([e05["edm_x"], e05["edm_y"]], ["110.000", "5.000"])

    def test_which_point_depth_and_turn(self):
        # Which point X/Y/Z locate; how far each electrode burns past the core's face on the side it comes from (the
        # side its base faces) to its far end; each copy's turn against its layer's first (the sample turns E02's
        # second copy a quarter anticlockwise).
        core = self.core_box
        for row, e in zip(self.rows, self.expected):
            self.assertEqual(row["edm_point"], "touch" if e["single_side_point"] else "reference", e["name"])
            self.assertEqual(row["depth"], mm(burn_depth(e, core)), e["name"])
        self.assertEqual(self.rows[0]["depth"], "15.000")
        self.assertEqual([r["rotation"] for r in self.rows], ["0", "0", "90", "0", "0", "0", "0", "0"])

    def test_coordinate_table_on_every_sheet_says_what_the_list_says(self):
        # The EDM point with its signs, the turn, the way the electrode burns, the depth and which point it is: the
        # table on each sheet, in the report and the SVG, against the list's row and the construction.
        with open(os.path.join(self.dir, "sample_mould.json"), encoding="utf-8") as f:
            sheets = {s["name"]: s for s in json.load(f)["sheets"]}
        burns = {1: "-Z", -1: "+Z", 2: "+Y", -2: "-Y", 3: "-X", -3: "+X"}
        for row, e in zip(self.rows, self.expected):
            tables = [a["text"] for a in sheets[row["sheet"]]["annotations"]
                      if a["kind"] == "note" and a["text"][:1] == ["放电坐标"]]
            self.assertEqual(len(tables), 1, row["sheet"])
            point = e["single_side_point"] or e["reference_point"]
            signed = ["%+.3f" % v if round(v, 3) != 0 else "0.000" for v in point]
            self.assertEqual(tables[0], ["放电坐标", "X " + signed[0], "Y " + signed[1], "Z " + signed[2],
                                         "转角 " + row["rotation"] + "°", "放电方向 " + burns[e["direction"]],
                                         "深度 " + mm(burn_depth(e, self.core_box)),
                                         "定位点 " + ("单边碰" if e["single_side_point"] else "基准点")], row["sheet"])
            with open(os.path.join(self.dir, row["sheet"] + ".svg"), encoding="utf-8") as f:
                svg = f.read()
            for cell in ("放电坐标", signed[0], signed[1], "放电方向", burns[e["direction"]]):
                self.assertIn(">" + cell + "<", svg, row["sheet"])
        self.assertIn("转角 90°", [l for a in sheets["E02_1"]["annotations"] for l in a.get("text", [])])

    def test_every_view_says_which_side_it_shows(self):
        # The side from the eye's direction (the report's toward_eye) as the drafting table of views names it, and
        # the model axes right and up for orthographic views: the label nearest the view is its own.
        sides = {(0, 0, -1): "俯视", (0, 0, 1): "仰视", (0, 1, 0): "前视", (0, -1, 0): "后视", (-1, 0, 0): "右视",
                 (1, 0, 0): "左视"}

        def axis(d):
            for k in range(3):
                if abs(abs(d[k]) - 1) < 1e-6:
                    return ("+" if d[k] > 0 else "-") + "XYZ"[k]
            return None

        with open(os.path.join(self.dir, "sample_mould.json"), encoding="utf-8") as f:
            report = json.load(f)["sheets"]
        seen = set()
        for sheet in report:
            labels = [a for a in sheet["annotations"] if a["kind"] == "note" and a["text"][0][:2] in
                      ("俯视", "仰视", "前视", "后视", "左视", "右视", "轴测")]
            self.assertEqual(len(labels), len(sheet["views"]), sheet["name"])
            for view in sheet["views"]:
                box = view["sheet_box"]

                def gap(a):
                    x, y = a["position"]
                    return math.hypot(max(box[0] - x, 0, x - box[2]), max(box[1] - y, 0, y - box[3]))

                label = min(labels, key=gap)["text"][0]
                looks = tuple(-round(c) if abs(c) < 1e-6 or abs(abs(c) - 1) < 1e-6 else None
                              for c in view["toward_eye"])
                if looks in sides:
                    self.assertEqual(label, "%s 视向%s 右%s 上%s" % (sides[looks], axis([-c for c in view["toward_eye"]]),
                                                               axis(view["right"]), axis(view["up"])), sheet["name"])
                    seen.add(sides[looks])
                else:
                    self.assertTrue(label.startswith("轴测 视向"), label)
                self.assertLess(gap(min(labels, key=gap)), 12, sheet["name"])
        self.assertTrue({"俯视", "仰视", "前视", "右视", "左视", "后视"} <= seen, seen)

    def test_chamfer_corner_is_marked_alike_in_the_core_and_the_electrode_view(self):
        # E01's chamfered corner: the same model corner under the leader of both labels "c角", one in the core's top
        # view, one in the electrode's own top view that looks from the other side.
        with open(os.path.join(self.dir, "sample_mould.json"), encoding="utf-8") as f:
            sheet = next(s for s in json.load(f)["sheets"] if s["name"] == "E01")
        marks = [a for a in sheet["annotations"] if a["kind"] == "label" and a["text"] == ["c角"]]
        self.assertEqual(len(marks), 2)
        corners = []
        for mark in marks:
            x, y = mark["leader_point"]
            view = next(v for v in sheet["views"] if v["sheet_box"][0] - 0.1 <= x <= v["sheet_box"][2] + 0.1 and
                        v["sheet_box"][1] - 0.1 <= y <= v["sheet_box"][3] + 0.1 and "parent" not in v)
            corners.append((view["toward_eye"], model_xy(sheet, view, x, y)))
        (eye_a, a), (eye_b, b) = corners
        self.assertEqual([round(-c, 6) for c in eye_a], [round(c, 6) for c in eye_b])
        self.assertAlmostEqual(a[0], b[0], places=2)
        self.assertAlmostEqual(a[1], b[1], places=2)
        # The corner the generator chamfers: x at the base's maximum, y at its minimum.
        box = self.expected[0]["body_box"]
        self.assertAlmostEqual(a[0], box["max"][0], places=2)
        self.assertAlmostEqual(a[1], box["min"][1], places=2)

    def test_touch_point_sheet_is_labelled_in_every_output(self):
        with open(os.path.join(self.dir, "sample_mould.json"), encoding="utf-8") as f:
            sheets = {s["name"]: s for s in json.load(f)["sheets"]}
        for row in self.rows:
            sheet = sheets[row["sheet"]]
            labels = [a for a in sheet["annotations"] if a["kind"] == "label" and a["text"] == ["单边碰"]]
            with open(os.path.join(self.dir, row["sheet"] + ".svg"), encoding="utf-8") as f:
                svg = f.read()
            with open(os.path.join(self.dir, row["sheet"] + ".dxf"), "rb") as f:
                dxf = f.read()
            touch = row["edm_point"] == "touch"
            self.assertEqual(len(labels), 1 if touch else 0, row["sheet"])
            # The label, and the coordinate table's 定位点 cell.
            self.assertEqual(svg.count("单边碰"), 2 if touch else 0, row["sheet"])
            self.assertEqual(dxf.count("单边碰".encode("gbk")), 2 if touch else 0, row["sheet"])
            if not touch:
                continue
            # The leader ends on the EDM point as the core's top view shows it: where the position dimensions of
            # that view start.
            top = next(v for v in sheet["views"] if 240 in v["layers"] and "parent" not in v)
            starts = [a["first"]["sheet_point"] for a in sheet["annotations"]
                      if a["kind"] in ("horizontal dimension", "vertical dimension") and a["first"]["view"] == top["tag"]]
            self.assertTrue(starts)
            for start in starts:
                self.assertAlmostEqual(labels[0]["leader_point"][0], start[0], places=2)
                self.assertAlmostEqual(labels[0]["leader_point"][1], start[1], places=2)
        pdf = subprocess.run(["pdftotext", os.path.join(self.dir, "sample_mould.pdf"), "-"], capture_output=True,
                             text=True, check=True).stdout
        self.assertEqual(pdf.count("单边碰"), 3)  # E05's label and coordinate table, and its row of the setup table

    def test_edm_points_match_the_position_dimensions_of_each_sheet(self):
        with open(os.path.join(self.dir, "sample_mould.json"), encoding="utf-8") as f:
            sheets = {s["name"]: s for s in json.load(f)["sheets"]}
        linear = ("horizontal dimension", "vertical dimension")
        for row in self.rows:
            sheet = sheets[row["sheet"]]
            core_views = {v["tag"] for v in sheet["views"] if 240 in v["layers"]}
            dims = [a for a in sheet["annotations"] if a["kind"] in linear]
            ends = [a["first"]["model_point"] for a in dims if a["first"]["view"] in core_views]
            self.assertEqual(len(ends), 3, row["sheet"])
            for end in ends:
                self.assertEqual([mm(v) for v in end], [row["edm_x"], row["edm_y"], row["edm_z"]], row["sheet"])
            # The first sheet of a layer dimensions the electrode's box and working part: the same sizes as the list.
            sizes = sorted(mm(a["measured"]) for a in dims if a["first"]["view"] not in core_views)
            if row["place"] == "1":
                listed = [row[c + a] for c in ("box_", "working_") for a in "xyz" if row[c + a]]
                self.assertEqual(sizes, sorted(listed), row["sheet"])

    def test_summary_page_leads_the_pdf(self):
        pdf = os.path.join(self.dir, "sample_mould.pdf")
        info = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True, check=True).stdout
        self.assertRegex(info, r"Pages:\s+9\n")
        text = subprocess.run(["pdftotext", "-f", "1", "-l", "1", "-layout", pdf, "-"], capture_output=True,
                              text=True, check=True).stdout
        lines = text.splitlines()
        for row in self.rows:
            line = next((l for l in lines if l.split()[:1] == [row["sheet"]]), None)
            self.assertIsNotNone(line, row["sheet"])
            kind = {"touch": "单边碰", "reference": "基准点"}[row["edm_point"]]
            self.assertEqual(line.split()[1:12], [f"{row['page']}/{row['pages']}", row["electrode"], row["layer"],
                                                  f"{row['place']}/{row['places']}", row["direction"].lstrip("'"), kind,
                                                  row["edm_x"], row["edm_y"], row["edm_z"], row["depth"],
                                                  row["rotation"]])
        for word in ("放电设置表", "SAMPLE-01", "设置表 1/1", "模号", "50×40×35", "0.35 / 1"):
            self.assertIn(word, text)
        self.assertNotIn("第 1/8 页", text)
        self.assertNotIn("火花位\n", text)  # the sheets' spark-gap table is not on the summary
        second = subprocess.run(["pdftotext", "-f", "2", "-l", "2", pdf, "-"], capture_output=True, text=True,
                                check=True).stdout
        self.assertIn("第 1/8 页", second)

    def test_summary_pages_can_be_left_out(self):
        part = os.path.join(self.dir, "sample_mould.prt")
        for flags, pages in ((["--no-summary"], 8), ([], 9)):
            out = os.path.join(self.dir, "pdf" + str(pages))
            quillon("export", part, "-o", out, "--pdf", *flags)
            info = subprocess.run(["pdfinfo", os.path.join(out, "sample_mould.pdf")], capture_output=True, text=True,
                                  check=True).stdout
            self.assertRegex(info, rf"Pages:\s+{pages}\n")

    def test_sizes_of_box_and_working_part(self):
        for row, e in zip(self.rows, self.expected):
            self.assertEqual([row["box_x"], row["box_y"], row["box_z"]], [mm(v) for v in size(e["body_box"])])
            working = [row["working_x"], row["working_y"], row["working_z"]]
            if e["working_box"] is None:
                self.assertEqual(working, ["", "", ""], e["name"])
            else:
                self.assertEqual(working, [mm(v) for v in size(e["working_box"])], e["name"])

    def test_spark_gaps_from_attributes_or_defaults(self):
        defaults = {"rough_gap": config_value("elec_rough_space:"), "finish_gap": config_value("elec_finish_space:"),
                    "rough_count": config_value("elec_rough_number:"),
                    "finish_count": config_value("elec_finish_number:")}
        for row, e in zip(self.rows, self.expected):
            attrs = e["attributes"]
            own = {column: attrs[title] for title, column in SLOTS if title in attrs}
            for title, column in SLOTS:
                if not own:
                    want = defaults.get(column, "")
                elif title not in attrs:
                    want = ""
                elif "real" in attrs[title]:
                    want = f"{attrs[title]['real']:.2f}"
                else:
                    want = str(attrs[title]["integer"])
                self.assertEqual(row[column], want, f"{e['name']} {column}")
        # Spot checks that do not lean on the rule above.
        self.assertEqual([self.rows[0][c] for c in ("rough_gap", "finish_gap", "special_rough_gap")],
                         ["0.25", "0.08", "0.35"])
        self.assertEqual([self.rows[3][c] for c in ("rough_gap", "finish_gap", "rough_count")], ["0.30", "", "1"])
        self.assertEqual(self.rows[4]["rough_gap"], "0.25")

    def test_note_and_format(self):
        self.assertEqual(self.rows[0]["note"], "顶面清角, 注意 R3")
        self.assertTrue(self.raw.startswith(b"\xef\xbb\xbfsheet,page,pages,electrode,"))
        self.assertEqual(self.raw.count(b"\r\n"), len(self.rows) + 1)
        self.assertIn('"顶面清角, 注意 R3"\r\n'.encode("utf-8"), self.raw)

    def test_chinese_headers_with_units_and_the_same_rows(self):
        self.assertTrue(self.zh_raw.startswith("\ufeff图纸,页,总页数,电极名,".encode("utf-8")))
        self.assertEqual(len(self.zh_header), len(self.header))
        self.assertEqual(len(set(self.zh_header)), len(self.zh_header))
        for key, title in zip(self.header, self.zh_header):
            in_mm = re.fullmatch(r"edm_[xyz]|depth|box_[xyz]|working_[xyz]|.*_gap", key) is not None
            self.assertEqual(title.endswith("(mm)"), in_mm, f"{key}: {title}")
        kinds = {"touch": "单边碰", "reference": "基准点"}
        for zh, en in zip(self.zh_rows, self.rows):
            self.assertEqual(zh, dict(en, edm_point=kinds[en["edm_point"]]))
        zh_bom = csv_rows(os.path.join(self.dir, "sample_mould.bom.csv"))
        en_bom = csv_rows(os.path.join(self.en, "sample_mould.bom.csv"))
        self.assertEqual(zh_bom[0][:2] + en_bom[0][:2], ["电极名", "处数", "electrode", "places"])
        self.assertEqual(zh_bom[1:], en_bom[1:])

    def test_workbook_holds_both_lists_with_numbers_as_numbers(self):
        for folder, names in ((self.dir, ["放电设置表", "电极备料单"]), (self.en, ["electrodes", "bom"])):
            book = openpyxl.load_workbook(os.path.join(folder, "sample_mould.electrodes.xlsx"))
            self.assertEqual(book.sheetnames, names)
            numbers = 0
            for sheet, csv_name in zip(book.worksheets, ("electrodes", "bom")):
                rows = csv_rows(os.path.join(folder, f"sample_mould.{csv_name}.csv"))
                cells = [list(r) for r in sheet.iter_rows()]
                self.assertEqual(sheet.freeze_panes, "A2")
                self.assertEqual([c.value for c in cells[0]], rows[0])
                self.assertEqual(len(cells), len(rows))
                for row, line in zip(cells[1:], rows[1:]):
                    self.assertEqual(len(row), len(line))
                    for cell, text in zip(row, line):
                        where = f"{sheet.title}!{cell.coordinate} {text!r}"
                        if text == "":
                            self.assertIsNone(cell.value, where)  # none is an empty cell, never 0
                        elif re.fullmatch(r"-?[0-9]+(\.[0-9]+)?", text):
                            self.assertIsInstance(cell.value, (int, float), where)
                            self.assertEqual(cell.value, float(text), where)
                            # Shown as the sheet writes it: 0.10 stays 0.10.
                            decimals = len(text.split(".")[1]) if "." in text else 0
                            if decimals:
                                self.assertEqual(cell.number_format, "0." + "0" * decimals, where)
                            numbers += 1
                        else:
                            self.assertEqual(cell.value, text[1:] if text[0] == "'" else text, where)
                for column in range(len(rows[0])):
                    letter = openpyxl.utils.get_column_letter(column + 1)
                    widest = max(display_width(r[column]) for r in rows)
                    self.assertGreaterEqual(sheet.column_dimensions[letter].width, widest, f"{sheet.title} {letter}")
            self.assertGreater(numbers, 100)
        # A zero is a number: E01's Z, and its turn.
        first = openpyxl.load_workbook(os.path.join(self.en, "sample_mould.electrodes.xlsx"))["electrodes"]
        self.assertEqual([first.cell(2, self.header.index(k) + 1).value for k in ("edm_z", "rotation")], [0, 0])

    def test_bill_of_material_sums_per_name(self):
        _, bom, _ = read_csv(os.path.join(self.en, "sample_mould.bom.csv"))
        self.assertEqual([b["electrode"] for b in bom], ["E01", "E02", "E03", "E04", "E05", "E06", "E07"])
        by_name = {b["electrode"]: b for b in bom}
        self.assertEqual(by_name["E02"]["places"], "2")
        self.assertEqual(sum(int(b["places"]) for b in bom), len(self.rows))
        for b in bom:
            first = next(r for r in self.rows if r["electrode"] == b["electrode"])
            counts = [first[c] for c in ("rough_count", "finish_count", "special_rough_count", "special_finish_count")]
            self.assertEqual(int(b["pieces"]), sum(int(c) for c in counts if c), b["electrode"])
            for axis in "xyz":
                box = float(first["box_" + axis])
                self.assertEqual(int(b["stock_" + axis]), math.ceil(box) + 4, b["electrode"])
        self.assertEqual(by_name["E01"]["pieces"], "4")  # 2 rough, 1 finish, 1 special rough
        self.assertEqual([by_name["E01"]["stock_" + a] for a in "xyz"], ["54", "44", "39"])

    def test_allowance_on_the_command_line(self):
        out = os.path.join(self.dir, "allowance")
        quillon("export", os.path.join(self.dir, "sample_mould.prt"), "-o", out, "--csv", "--allowance", "0.5",
                "--csv-header", "en")
        _, bom, _ = read_csv(os.path.join(out, "sample_mould.bom.csv"))
        self.assertEqual([bom[0]["stock_" + a] for a in "xyz"], ["51", "41", "36"])
        self.assertEqual(sorted(os.listdir(out)), ["sample_mould.bom.csv", "sample_mould.electrodes.csv",
                                                   "sample_mould.electrodes.xlsx", "sample_mould.manifest"])
        bad = subprocess.run([QUILLON, "export", os.path.join(self.dir, "sample_mould.prt"), "-o", out,
                              "--allowance", "-1"], capture_output=True, text=True)
        self.assertEqual(bad.returncode, 2)
        self.assertIn("--allowance", bad.stderr)
        bad = subprocess.run([QUILLON, "export", os.path.join(self.dir, "sample_mould.prt"), "-o", out,
                              "--csv-header", "fr"], capture_output=True, text=True)
        self.assertEqual(bad.returncode, 2)
        self.assertIn("--csv-header 'fr'", bad.stderr)

    def test_a_workbook_that_cannot_be_made_fails_the_export(self):
        out = os.path.join(self.dir, "no_room")
        bad = subprocess.run([QUILLON, "export", os.path.join(self.dir, "sample_mould.prt"), "-o", out, "--csv"],
                             capture_output=True, text=True, env=dict(os.environ, TMPDIR="/proc"))
        self.assertEqual(bad.returncode, 2, bad.stderr)
        self.assertIn("workbook", bad.stderr)
        self.assertEqual([f for f in os.listdir(out) if not f.endswith(".manifest")], [])


class UnusualTexts(unittest.TestCase):
    """A name with a comma and quotes, a Chinese note with a line feed and a quote, through a real part."""

    def test_round_trip(self):
        work = tempfile.mkdtemp(prefix="quillon_setup_odd_")
        try:
            name = 'E03,"左"'
            note = '第一行, 含逗号\n第二行 "引号"'
            with open(os.path.join(EXAMPLES, "sample_mould.step"), encoding="utf-8") as f:
                step = f.read().replace("PRODUCT('E03','E03'", f"PRODUCT('{name}','{name}'")
            with open(os.path.join(EXAMPLES, "sample_mould.attrs.json"), encoding="utf-8") as f:
                attrs = json.load(f)
            for o in attrs["objects"]:
                if o.get("name") == "E03":
                    o["name"] = name
                    o.setdefault("attributes", {})["ELEC_NOTE"] = {"string": note}
            step_path, attrs_path = os.path.join(work, "odd.step"), os.path.join(work, "odd.attrs.json")
            with open(step_path, "w", encoding="utf-8") as f:
                f.write(step)
            with open(attrs_path, "w", encoding="utf-8") as f:
                json.dump(attrs, f, ensure_ascii=False)
            part = os.path.join(work, "odd.prt")
            quillon("import", step_path, "--attrs", attrs_path, "-o", part)
            quillon("run", part, "--set", "INT_1=3", "--set", "INT_2=3")
            quillon("export", part, "-o", work, "--csv", "--csv-header", "en")
            _, rows, _ = read_csv(os.path.join(work, "odd.electrodes.csv"))
            self.assertEqual(len(rows), 1)
            self.assertEqual((rows[0]["sheet"], rows[0]["electrode"], rows[0]["note"]), (name, name, note))
            _, bom, _ = read_csv(os.path.join(work, "odd.bom.csv"))
            self.assertEqual(bom[0]["electrode"], name)
            # One sheet has no summary page unless asked for.
            for flags, pages in (([], 1), (["--summary"], 2)):
                quillon("export", part, "-o", work, "--pdf", *flags)
                info = subprocess.run(["pdfinfo", os.path.join(work, "odd.pdf")], capture_output=True, text=True,
                                      check=True).stdout
                self.assertRegex(info, rf"Pages:\s+{pages}\n")
        finally:
            shutil.rmtree(work)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)
