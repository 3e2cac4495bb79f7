#!/usr/bin/python3
"""The print measurement: the same print job from two builds, in one run.

Builds bench/print_jobs.cpp against each build tree given (the compile and link lines of
that tree's test_window), then runs each road (the print dialog's Print and the preview's)
alternately on the builds, ROUNDS times, and reads every PDF that cups-pdf wrote with
pdffonts, pdftotext, pdfimages and zbarimg (pages drawn at 150 and 600 dpi). Needs root.

  bench/print_jobs.py before=/work/main:/work/main/build after=.:build [--records 500]
"""
import argparse, os, re, shlex, subprocess, sys, tempfile, time
from concurrent.futures import ThreadPoolExecutor

HERE = os.path.dirname(os.path.abspath(__file__))


def ninja_vars(build, target_line):
    """The indented variables of the build statement that starts with target_line."""
    out, inside = {}, False
    with open(os.path.join(build, 'build.ninja')) as f:
        for line in f:
            if line.startswith(target_line):
                inside = True
                continue
            if inside:
                if not line.startswith('  '):
                    break
                k, _, v = line.strip().partition(' = ')
                out[k] = v
    return out


def build_driver(name, src, build, work):
    obj_line = 'build tests/CMakeFiles/test_window.dir/window/Print_Cups_Test.cpp.o:'
    link_line = 'build tests/test_window '
    c = ninja_vars(build, obj_line)
    l = ninja_vars(build, link_line)
    obj = os.path.join(work, name + '.o')
    exe = os.path.join(work, name)
    own_tests = os.path.join(os.path.dirname(HERE), 'tests')
    cmd = (['ccache', 'g++'] + shlex.split(c['DEFINES']) + shlex.split(c['FLAGS']) +
           shlex.split(c['INCLUDES']) + ['-I' + own_tests, '-c', os.path.join(HERE, 'print_jobs.cpp'),
                                          '-o', obj])
    subprocess.run(cmd, check=True, cwd=build)
    subprocess.run(['g++', '-O2', obj, '-o', exe] + shlex.split(l['LINK_LIBRARIES']), check=True,
                   cwd=build)
    return exe


def run(exe, road, records, pdf):
    env = dict(os.environ, QT_QPA_PLATFORM='offscreen', PRINT_ROAD=road,
               PRINT_RECORDS=str(records), PRINT_OUT=pdf)
    p = subprocess.run([exe], env=env, capture_output=True, text=True)
    m = re.search(r'seconds=([\d.]+) pdf_seconds=([\d.]+) bytes=(\d+)', p.stdout)
    if not m:
        sys.exit('driver failed:\n' + p.stdout[-3000:] + p.stderr[-3000:])
    return float(m.group(1)), float(m.group(2)), int(m.group(3))


def decode(pdf, dpi, work):
    prefix = os.path.join(work, os.path.basename(pdf) + '-%d' % dpi)
    subprocess.run(['pdftoppm', '-r', str(dpi), '-gray', '-png', pdf, prefix], check=True)
    pages = sorted(p for p in os.listdir(work) if p.startswith(os.path.basename(prefix) + '-'))

    def one(page):
        path = os.path.join(work, page)
        r = subprocess.run(['zbarimg', '-q', path], capture_output=True, text=True)
        os.remove(path)
        return r.stdout.split('\n')

    found = []
    with ThreadPoolExecutor(2) as pool:
        for lines in pool.map(one, pages):
            found += [x for x in lines if x]
    return found


def facts(pdf, records, work, dpis):
    out = {}
    fonts = subprocess.run(['pdffonts', pdf], capture_output=True, text=True).stdout
    out['fonts'] = sorted({l.split()[0].split('+')[-1] for l in fonts.split('\n')[2:] if l.strip()})
    text = subprocess.run(['pdftotext', pdf, '-'], capture_output=True, text=True).stdout
    numbers = [int(n) for n in re.findall(r'Guest (\d+)', text)]
    firsts = []
    for n in numbers:
        if not firsts or firsts[-1] != n:
            if n not in firsts:
                firsts.append(n)
    out['texts_in_order'] = firsts == list(range(1, records + 1))
    images = subprocess.run(['pdfimages', '-list', pdf], capture_output=True, text=True).stdout
    rows = [l.split() for l in images.split('\n')[2:] if l.strip()]
    out['images'] = len(rows)
    out['largest_image'] = max(((int(r[3]), int(r[4])) for r in rows), default=(0, 0),
                               key=lambda s: s[0] * s[1])
    for dpi in dpis:
        found = decode(pdf, dpi, work)
        want = {'QR-Code:Guest %d' % r for r in range(1, records + 1)} | \
               {'CODE-128:Guest %d' % r for r in range(1, records + 1)}
        out['decoded_%d' % dpi] = '%d of %d (%s)' % (len(want & set(found)), len(want),
                                                     'all' if want <= set(found) else 'MISSING')
    return out


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('trees', nargs='+', help='name=source:build')
    ap.add_argument('--records', type=int, default=500)
    ap.add_argument('--rounds', type=int, default=1)
    ap.add_argument('--dpis', default='150,600')
    ap.add_argument('--decode-all', default='after',
                    help='the build whose PDFs are decoded at every resolution; the others at the first')
    a = ap.parse_args()
    work = tempfile.mkdtemp(prefix='print_jobs.')
    exes = {}
    for t in a.trees:
        name, _, paths = t.partition('=')
        src, _, build = paths.partition(':')
        exes[name] = build_driver(name, os.path.abspath(src), os.path.abspath(build), work)
    dpis = [int(d) for d in a.dpis.split(',') if d]
    results = {}
    for rnd in range(a.rounds):
        for road in ('dialog', 'preview'):
            for name, exe in exes.items():
                pdf = os.path.join(work, '%s-%s-%d.pdf' % (name, road, rnd))
                results.setdefault((name, road), []).append(run(exe, road, a.records, pdf) + (pdf,))
                print(name, road, results[(name, road)][-1], flush=True)
    for road in ('dialog', 'preview'):
        for name in exes:
            subprocess.run(['pdfinfo', results[(name, road)][0][3]])
    names = list(exes)
    for road in ('dialog', 'preview'):
        print('\n== %s road, %d records ==' % (road, a.records))
        for name in names:
            rs = results[(name, road)]
            secs = min(r[0] for r in rs)
            print('%-8s app %.2f s, until PDF %.2f s, PDF %d bytes' %
                  (name, secs, min(r[1] for r in rs), rs[0][2]))
            print('         ', facts(rs[0][3], a.records, work,
                                   dpis if name == a.decode_all else dpis[:1]), flush=True)
        if len(names) == 2:
            b, c = (results[(n, road)] for n in names)
            print('ratio %s/%s: app time %.3f, until PDF %.3f, PDF size %.4f' %
                  (names[1], names[0], min(r[0] for r in c) / min(r[0] for r in b),
                   min(r[1] for r in c) / min(r[1] for r in b), c[0][2] / b[0][2]))


if __name__ == '__main__':
    main()
