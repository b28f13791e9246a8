#!/usr/bin/env python3
"""Readability of exported sheets, measured in a real browser (needs Debian's chromium).

For every SVG given (or every *.svg in a folder), headless Chromium lays the texts out with the sheet's own fonts and
reports each text's box; we then count, per sheet:
  text/text   two texts whose ink boxes (0.8 of the font size high) overlap at all,
  text/line   a text box crossed by a stroke of a view's geometry (a model edge drawn over a number),
  text/dim    a text box crossed by a dimension's stroke (extension, dimension or leader line, arrow),
  outside     a text box not wholly inside the sheet.
Usage: sheet_lint.py SVG|DIR... [--json] [--require-clear]; prints a summary line last:
  "sheets N, texts T, text/text A, text/line B, text/dim D, outside C"
Exit 0; with --require-clear 1 when any count is not 0, and 77 when no browser could lay the sheets out.
"""
import json, os, subprocess, sys, tempfile, glob, html

JS = r"""
<script>
function run(){
  const out = [];
  for (const svg of document.querySelectorAll('svg.sheet')) {
    const vb = svg.viewBox.baseVal; const texts = []; const segs = [];
    const toSheet = (el, x, y) => { const m = el.getCTM(), s = svg.getCTM().inverse(); let p = svg.createSVGPoint();
      p.x = x; p.y = y; p = p.matrixTransform(s.multiply(m)); return [p.x, p.y]; };
    for (const t of svg.querySelectorAll('text')) {
      let b = t.getBBox(); if (b.width === 0) continue;
      // The glyphs' ink is about 0.8 font size high (the line box adds the font's ascent and descent).
      const fs = parseFloat(getComputedStyle(t).fontSize) || b.height;
      const ink = 0.8 * fs; if (b.height > ink) b = {x: b.x, y: b.y + (b.height - ink) / 2, width: b.width, height: ink};
      const c = [toSheet(t,b.x,b.y), toSheet(t,b.x+b.width,b.y), toSheet(t,b.x,b.y+b.height), toSheet(t,b.x+b.width,b.y+b.height)];
      const xs = c.map(p=>p[0]), ys = c.map(p=>p[1]);
      texts.push({s: t.textContent, g: (t.closest('g')||{}).getAttribute ? t.closest('g').getAttribute('data-layer') : '',
                  box: [Math.min(...xs), Math.min(...ys), Math.max(...xs), Math.max(...ys)]});
    }
    const dsegs = [];
    // The straight pieces of polylines and of paths (their arcs are passed over, as arc elements are).
    const pathSegs = (el, into) => {
      const t = (el.getAttribute('d') || '').match(/[A-Za-z]|-?(?:\d+\.?\d*|\.\d+)/g) || [];
      let i = 0, cmd = '', x = 0, y = 0, sx = 0, sy = 0;
      const num = () => parseFloat(t[i++]);
      const seg = (nx, ny) => { const a = toSheet(el, x, y), b = toSheet(el, nx, ny); into.push([a[0],a[1],b[0],b[1]]);
                                x = nx; y = ny; };
      while (i < t.length) {
        if (/[A-Za-z]/.test(t[i])) cmd = t[i++];
        if (cmd === 'M') { x = sx = num(); y = sy = num(); cmd = 'L'; }
        else if (cmd === 'm') { x = sx = x + num(); y = sy = y + num(); cmd = 'l'; }
        else if (cmd === 'L') seg(num(), num());
        else if (cmd === 'l') { const dx = num(), dy = num(); seg(x + dx, y + dy); }
        else if (cmd === 'H') seg(num(), y); else if (cmd === 'h') seg(x + num(), y);
        else if (cmd === 'V') seg(x, num()); else if (cmd === 'v') seg(x, y + num());
        else if (cmd === 'z' || cmd === 'Z') { seg(sx, sy); cmd = ''; }
        else if (cmd === 'a' || cmd === 'A') { i += 5; const ex = num(), ey = num();
                                               if (cmd === 'a') { x += ex; y += ey; } else { x = ex; y = ey; } }
        else i++;
      }
    };
    for (const [sel, into] of [['g[data-layer^="VIEW"] ', segs], ['g[data-layer="DIMENSION"] ', dsegs]]) {
      for (const pl of svg.querySelectorAll(sel + 'polyline')) {
        const pts = pl.points; for (let i = 1; i < pts.numberOfItems; i++) {
          const a = toSheet(pl, pts.getItem(i-1).x, pts.getItem(i-1).y), b = toSheet(pl, pts.getItem(i).x, pts.getItem(i).y);
          into.push([a[0],a[1],b[0],b[1]]); } }
      for (const path of svg.querySelectorAll(sel + 'path')) pathSegs(path, into);
    }
    out.push({name: svg.getAttribute('data-name'), w: vb.width, h: vb.height, texts, segs, dsegs});
  }
  document.getElementById('out').textContent = JSON.stringify(out);
}
</script>
"""

def lay_out(svgs):
    body = []
    for p in svgs:
        s = open(p, encoding='utf-8').read()
        s = s[s.index('<svg'):]
        s = s.replace('<svg', '<svg class="sheet" data-name="%s"' % html.escape(os.path.basename(p)), 1)
        body.append(s)
    page = '<!doctype html><html><head><meta charset="utf-8">' + JS + '</head><body onload="run()">' + \
           '\n'.join(body) + '<pre id="out"></pre></body></html>'
    with tempfile.NamedTemporaryFile('w', suffix='.html', delete=False, encoding='utf-8') as f:
        f.write(page); name = f.name
    try:
        r = subprocess.run(['chromium', '--headless', '--no-sandbox', '--disable-gpu', '--virtual-time-budget=20000',
                            '--dump-dom', 'file://' + name], capture_output=True, text=True, timeout=600)
    except (OSError, subprocess.SubprocessError) as e:
        raise NoBrowser(str(e))
    finally:
        os.unlink(name)
    dom = r.stdout
    i = dom.find('<pre id="out">'); j = dom.find('</pre>', i)
    if i < 0 or j < 0:
        raise NoBrowser('chromium gave no page (exit %d): %s' % (r.returncode, r.stderr[-500:]))
    return json.loads(html.unescape(dom[i + 14:j]))

class NoBrowser(Exception):
    pass

def overlap(a, b, tol=0.0):
    return min(a[2], b[2]) - max(a[0], b[0]) > tol and min(a[3], b[3]) - max(a[1], b[1]) > tol

def seg_hits_box(s, b, inset=0.25):
    x0, y0, x1, y1 = b[0] + inset, b[1] + inset, b[2] - inset, b[3] - inset
    if x1 <= x0 or y1 <= y0: return False
    (ax, ay, bx, by) = s; t0, t1 = 0.0, 1.0; dx, dy = bx - ax, by - ay
    for p, q in ((-dx, ax - x0), (dx, x1 - ax), (-dy, ay - y0), (dy, y1 - ay)):
        if p == 0:
            if q < 0: return False
        else:
            t = q / p
            if p < 0: t0 = max(t0, t)
            else: t1 = min(t1, t)
            if t0 > t1: return False
    return True

def lint(args):
    """The rows per sheet and the totals for the SVG files and folders given."""
    svgs = []
    for a in args:
        svgs += sorted(glob.glob(os.path.join(a, '*.svg'))) if os.path.isdir(a) else [a]
    sheets = []
    for k in range(0, len(svgs), 20):
        sheets += lay_out(svgs[k:k + 20])
    tot = dict(sheets=0, texts=0, tt=0, tl=0, td=0, out=0); rows = []
    for sh in sheets:
        T = sh['texts']; tt = []; tl = []; td = []; out = []
        for i in range(len(T)):
            b = T[i]['box']
            if b[0] < 0 or b[1] < 0 or b[2] > sh['w'] or b[3] > sh['h']: out.append(T[i]['s'])
            for j in range(i + 1, len(T)):
                if overlap(b, T[j]['box']): tt.append((T[i]['s'], T[j]['s']))
            if any(seg_hits_box(s, b) for s in sh['segs']): tl.append(T[i]['s'])
            if any(seg_hits_box(s, b) for s in sh['dsegs']): td.append(T[i]['s'])
        rows.append(dict(sheet=sh['name'], texts=len(T), text_text=tt, text_line=tl, text_dim=td, outside=out))
        tot['sheets'] += 1; tot['texts'] += len(T); tot['tt'] += len(tt); tot['tl'] += len(tl); tot['td'] += len(td); tot['out'] += len(out)
    return rows, tot

def main():
    args = [a for a in sys.argv[1:] if not a.startswith('--')]
    try:
        rows, tot = lint(args)
    except NoBrowser as e:
        print('no browser: %s' % e)
        sys.exit(77 if '--require-clear' in sys.argv else 0)
    if '--json' in sys.argv:
        print(json.dumps(rows, ensure_ascii=False, indent=1))
    else:
        for r in rows:
            if r['text_text'] or r['text_line'] or r['text_dim'] or r['outside']:
                print('%s: text/text %s; text/line %s; text/dim %s; outside %s' % (r['sheet'], r['text_text'], r['text_line'], r['text_dim'], r['outside']))
    print('sheets %d, texts %d, text/text %d, text/line %d, text/dim %d, outside %d' % (tot['sheets'], tot['texts'], tot['tt'], tot['tl'], tot['td'], tot['out']))
    if '--require-clear' in sys.argv and (tot['sheets'] == 0 or tot['tt'] or tot['tl'] or tot['td'] or tot['out']):
        sys.exit(1)

if __name__ == '__main__':
    main()
