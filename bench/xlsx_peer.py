"""The peer of the workbook reader in bench_xlsx: Python's zipfile + iterparse.

Reads the first sheet of a workbook (shared strings, then every row's cell texts) the way a
small Python program would, and prints the seconds the read took (the interpreter's start
not counted) and the number of rows:  "<seconds> <rows>".

    /usr/bin/python3 xlsx_peer.py book.xlsx [openpyxl]

With "openpyxl" the workbook is read by openpyxl in read-only mode instead; the script exits
with status 3 when openpyxl is not installed.
"""

import sys
import time
import zipfile
import xml.etree.ElementTree as ET

MAIN = '{http://schemas.openxmlformats.org/spreadsheetml/2006/main}'
RELS = '{http://schemas.openxmlformats.org/package/2006/relationships}'
OFFICE_RELS = '{http://schemas.openxmlformats.org/officeDocument/2006/relationships}'


def text_of(element):
    return ''.join(t.text or '' for t in element.iter(MAIN + 't'))


def first_sheet(book):
    workbook = ET.fromstring(book.read('xl/workbook.xml'))
    sheet = workbook.find(MAIN + 'sheets').find(MAIN + 'sheet')
    rel_id = sheet.get(OFFICE_RELS + 'id')
    rels = ET.fromstring(book.read('xl/_rels/workbook.xml.rels'))
    for rel in rels.iter(RELS + 'Relationship'):
        if rel.get('Id') == rel_id:
            target = rel.get('Target')
            return target.lstrip('/') if target.startswith('/') else 'xl/' + target
    raise ValueError('the workbook names no first sheet')


def read(path):
    with zipfile.ZipFile(path) as book:
        strings = []
        if 'xl/sharedStrings.xml' in book.namelist():
            with book.open('xl/sharedStrings.xml') as stream:
                for _, element in ET.iterparse(stream):
                    if element.tag == MAIN + 'si':
                        strings.append(text_of(element))
                        element.clear()
        rows = []
        with book.open(first_sheet(book)) as stream:
            for _, element in ET.iterparse(stream):
                if element.tag != MAIN + 'row':
                    continue
                row = []
                for cell in element.iter(MAIN + 'c'):
                    kind = cell.get('t')
                    value = cell.find(MAIN + 'v')
                    if kind == 's':
                        row.append(strings[int(value.text)])
                    elif kind == 'inlineStr':
                        row.append(text_of(cell))
                    else:
                        row.append(value.text if value is not None and value.text else '')
                rows.append(row)
                element.clear()
        return rows


def read_openpyxl(path):
    import openpyxl
    book = openpyxl.load_workbook(path, read_only=True, data_only=True)
    rows = [['' if v is None else str(v) for v in row]
            for row in book.worksheets[0].iter_rows(values_only=True)]
    book.close()
    return rows


def main():
    reader = read
    if len(sys.argv) > 2 and sys.argv[2] == 'openpyxl':
        try:
            import openpyxl  # noqa: F401
        except ImportError:
            sys.exit(3)
        reader = read_openpyxl
    start = time.perf_counter()
    rows = reader(sys.argv[1])
    print('%.6f %d' % (time.perf_counter() - start, len(rows)))


if __name__ == '__main__':
    main()
