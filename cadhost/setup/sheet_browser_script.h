// The sheet browser page's script.
#ifndef CADHOST_SETUP_SHEET_BROWSER_SCRIPT_H
#define CADHOST_SETUP_SHEET_BROWSER_SCRIPT_H

namespace cadhost::setup {

// Drawings load when their sheet comes near the window, so a page of hundreds of sheets shows its table at once; a
// print loads them all first. Each sheet zooms (wheel, pinch, + and -) between its fitted size and 40 times that, and
// pans (mouse or one-finger drag, two fingers while pinching); a double click or double tap fits it again. The keys
// are declared once, in one list that both handles them and shows them under "?". The body tells checks how many
// drawings have loaded (data-sheets-shown) and how many could not be (data-sheets-failed).
inline constexpr const char* kBrowserScript = R"JS(
(function () {
  "use strict";
  var MIN_SCALE = 1, MAX_SCALE = 40, TAP_SLOP = 10, DOUBLE_TAP_MS = 350;
  var body = document.body;
  var figures = Array.prototype.slice.call(document.querySelectorAll("figure.sheet"));
  var rows = Array.prototype.slice.call(document.querySelectorAll("tr[data-sheet]"));
  var current = 0, shown = 0, failed = 0;

  function clamp(s) { return Math.min(MAX_SCALE, Math.max(MIN_SCALE, s)); }

  function makeView(figure) {
    var box = figure.querySelector(".viewport"), img = box.querySelector("img");
    var v = { scale: 1, x: 0, y: 0, figure: figure, img: img, box: box };
    v.apply = function () {
      if (v.scale <= MIN_SCALE) { v.scale = MIN_SCALE; v.x = 0; v.y = 0; }
      img.style.transform = "translate(" + v.x + "px," + v.y + "px) scale(" + v.scale + ")";
      box.classList.toggle("zoomed", v.scale > MIN_SCALE);
    };
    // Zooms by factor about (px, py) in the box's coordinates: that point of the drawing stays where it is.
    v.zoomAt = function (px, py, factor) {
      var s = clamp(v.scale * factor);
      factor = s / v.scale;
      v.x = px - (px - v.x) * factor; v.y = py - (py - v.y) * factor; v.scale = s;
      v.apply();
    };
    v.zoomCentre = function (factor) { v.zoomAt(box.clientWidth / 2, box.clientHeight / 2, factor); };
    v.fit = function () { v.scale = MIN_SCALE; v.apply(); };

    box.addEventListener("wheel", function (e) {
      e.preventDefault();
      var r = box.getBoundingClientRect();
      v.zoomAt(e.clientX - r.left, e.clientY - r.top, Math.exp(-e.deltaY * 0.0015));
    }, { passive: false });
    box.addEventListener("dblclick", v.fit);

    // Pointers down on this sheet, in the box's coordinates. A gesture starts afresh whenever a finger comes or goes,
    // so lifting one finger of a pinch goes on as a drag without a jump.
    var pointers = new Map(), gesture = null, lastTap = null;
    function local(e) { var r = box.getBoundingClientRect(); return { x: e.clientX - r.left, y: e.clientY - r.top }; }
    function points() { return Array.from(pointers.values()).slice(0, 2); }
    function begin() {
      var p = points();
      gesture = p.length ? { scale: v.scale, x: v.x, y: v.y,
                             points: p.map(function (q) { return { x: q.x, y: q.y }; }) } : null;
      box.classList.toggle("dragging", !!gesture);
    }
    box.addEventListener("pointerdown", function (e) {
      if (e.pointerType === "mouse" && e.button !== 0) return;
      try { box.setPointerCapture(e.pointerId); } catch (err) { /* the pointer is already gone */ }
      var p = local(e);
      pointers.set(e.pointerId, { x: p.x, y: p.y, startX: p.x, startY: p.y, moved: false });
      begin();
      if (e.pointerType === "mouse") e.preventDefault();
    });
    function track(e) {
      var held = pointers.get(e.pointerId);
      if (!held || !gesture) return;
      var p = local(e);
      held.x = p.x; held.y = p.y;
      if (Math.abs(p.x - held.startX) > TAP_SLOP || Math.abs(p.y - held.startY) > TAP_SLOP) held.moved = true;
      var now = points(), then = gesture.points;
      if (now.length >= 2 && then.length >= 2) {
        var d0 = Math.hypot(then[1].x - then[0].x, then[1].y - then[0].y);
        var d1 = Math.hypot(now[1].x - now[0].x, now[1].y - now[0].y);
        var s = clamp(gesture.scale * (d0 > 0 ? d1 / d0 : 1));
        // The drawing's point under the fingers' first midpoint follows their midpoint.
        var mx0 = (then[0].x + then[1].x) / 2, my0 = (then[0].y + then[1].y) / 2;
        var mx1 = (now[0].x + now[1].x) / 2, my1 = (now[0].y + now[1].y) / 2;
        v.x = mx1 - (mx0 - gesture.x) * s / gesture.scale;
        v.y = my1 - (my0 - gesture.y) * s / gesture.scale;
        v.scale = s;
      } else {
        v.x = gesture.x + now[0].x - then[0].x;
        v.y = gesture.y + now[0].y - then[0].y;
      }
      v.apply();
    }
    box.addEventListener("pointermove", track);
    function release(e) {
      var held = pointers.get(e.pointerId);
      if (!held) return;
      // A lift can come where no move reported the finger last.
      if (e.type === "pointerup") track(e);
      pointers.delete(e.pointerId);
      if (e.type === "pointerup" && e.pointerType !== "mouse" && !held.moved && pointers.size === 0) {
        var t = e.timeStamp;
        if (lastTap && t - lastTap.t < DOUBLE_TAP_MS && Math.hypot(held.x - lastTap.x, held.y - lastTap.y) < 3 * TAP_SLOP) {
          v.fit();
          lastTap = null;
        } else {
          lastTap = { t: t, x: held.x, y: held.y };
        }
      }
      begin();
    }
    // The style's touch-action reaches the browser's scrolling a frame late; a finger that moves right after a
    // pinch, or a second finger, must not scroll the page either.
    box.addEventListener("touchmove", function (e) {
      if (v.scale > MIN_SCALE || e.touches.length > 1) e.preventDefault();
    }, { passive: false });
    box.addEventListener("pointerup", release);
    box.addEventListener("pointercancel", release);
    return v;
  }

  // Loading: a drawing's address waits in data-src until its sheet is near the window.
  function count() {
    body.setAttribute("data-sheets-shown", String(shown));
    body.setAttribute("data-sheets-failed", String(failed));
  }
  function load(v) {
    var src = v.img.getAttribute("data-src");
    if (src && !v.img.getAttribute("src")) v.img.setAttribute("src", src);
  }
  function settled(v) { return v.figure.classList.contains("loaded") || v.figure.classList.contains("failed"); }
  var views = figures.map(function (figure) {
    var v = makeView(figure);
    v.img.addEventListener("load", function () { figure.classList.add("loaded"); shown++; count(); });
    v.img.addEventListener("error", function () { figure.classList.add("failed"); failed++; count(); });
    return v;
  });
  var observer = null;
  if ("IntersectionObserver" in window) {
    observer = new IntersectionObserver(function (entries) {
      entries.forEach(function (entry) {
        if (!entry.isIntersecting) return;
        load(views[figures.indexOf(entry.target)]);
        observer.unobserve(entry.target);
      });
    }, { rootMargin: "25% 0px" });
    figures.forEach(function (f) { observer.observe(f); });
  } else {
    views.forEach(load);
  }
  // Every drawing, for printing: resolves once each has loaded or failed.
  function loadAll() {
    return Promise.all(views.map(function (v) {
      load(v);
      if (settled(v)) return null;
      return new Promise(function (done) {
        v.img.addEventListener("load", done, { once: true });
        v.img.addEventListener("error", done, { once: true });
      });
    }));
  }
  function printAll() { loadAll().then(function () { window.print(); }); }
  window.addEventListener("beforeprint", function () { views.forEach(load); });

  function mark(index) {
    if (index === current) return;
    figures[current].classList.remove("current");
    if (rows[current]) rows[current].classList.remove("current");
    current = index;
    figures[current].classList.add("current");
    if (rows[current]) rows[current].classList.add("current");
  }
  function show(index) {
    if (index < 0 || index >= figures.length) return;
    mark(index);
    figures[current].scrollIntoView({ block: "start" });
  }
  // Scrolling by hand (wheel, swipe, scroll bar) makes the topmost sheet in the window's upper half, below the bar at
  // the top, the current one, so the next-sheet key or button goes on from what is seen; a current sheet still there
  // stays current.
  // Where a sheet shown by the keys starts: below the bar, as the style's scroll margin puts it.
  var inView = new Set(), top = figures.length ? parseFloat(getComputedStyle(figures[0]).scrollMarginTop) || 0 : 0;
  if ("IntersectionObserver" in window) {
    var seen = new IntersectionObserver(function (entries) {
      entries.forEach(function (entry) {
        var index = Number(entry.target.getAttribute("data-index"));
        if (entry.isIntersecting) inView.add(index); else inView.delete(index);
      });
      if (inView.size && !inView.has(current)) mark(Math.min.apply(null, Array.from(inView)));
    }, { rootMargin: "-" + top + "px 0px -50% 0px" });
    figures.forEach(function (f, i) { f.setAttribute("data-index", String(i)); seen.observe(f); });
  }

  // The list of shortcuts, shown under "?".
  var overlay = document.createElement("div"), returnFocus = null;
  function helpOpen() { return !overlay.hidden; }
  function openHelp() { returnFocus = document.activeElement; overlay.hidden = false; overlay.querySelector("button").focus(); }
  function closeHelp() {
    overlay.hidden = true;
    if (returnFocus && returnFocus.focus) returnFocus.focus();
  }
  var keys = [
    { keys: ["n", "→", "PageDown"], match: ["n", "ArrowRight", "PageDown"], zh: "下一张图纸", en: "next sheet",
      run: function () { show(current + 1); } },
    { keys: ["p", "←", "PageUp"], match: ["p", "ArrowLeft", "PageUp"], zh: "上一张图纸", en: "previous sheet",
      run: function () { show(current - 1); } },
    { keys: ["Home"], match: ["Home"], zh: "第一张图纸", en: "first sheet", run: function () { show(0); } },
    { keys: ["End"], match: ["End"], zh: "最后一张图纸", en: "last sheet",
      run: function () { show(figures.length - 1); } },
    { keys: ["+"], match: ["+", "="], zh: "放大当前图纸", en: "zoom in on the current sheet",
      run: function () { if (views[current]) views[current].zoomCentre(1.25); } },
    { keys: ["-"], match: ["-", "_"], zh: "缩小当前图纸", en: "zoom out",
      run: function () { if (views[current]) views[current].zoomCentre(0.8); } },
    { keys: ["0"], match: ["0"], zh: "当前图纸复原", en: "fit the current sheet",
      run: function () { if (views[current]) views[current].fit(); } },
    { keys: ["Ctrl", "P"], zh: "打印: 设置表, 然后每页一张图纸 (A4 横向)",
      en: "print: the setup table, then one sheet a page (A4 landscape)" },
    { keys: ["?"], match: ["?"], zh: "显示或隐藏本列表", en: "show or hide this list",
      run: function () { if (helpOpen()) closeHelp(); else openHelp(); } },
    { keys: ["Esc"], match: ["Escape"], zh: "关闭本列表", en: "close this list",
      run: function () { if (helpOpen()) closeHelp(); } }
  ];
  var gestures = [
    ["滚轮 / 双指捏合", "wheel / pinch", "缩放 (1 到 40 倍)", "zoom (1 to 40 times)"],
    ["拖动 / 单指拖动", "drag / one-finger drag", "平移", "pan"],
    ["双击 / 双击触摸", "double-click / double tap", "复原", "fit again"]
  ];
  function cell(row, tag, html) { var c = document.createElement(tag); c.innerHTML = html; row.appendChild(c); }
  function text(t) { return t.replace(/&/g, "&amp;").replace(/</g, "&lt;"); }
  (function buildHelp() {
    overlay.className = "overlay";
    overlay.id = "shortcuts";
    overlay.hidden = true;
    var dialog = document.createElement("div"), table = document.createElement("table");
    dialog.className = "dialog";
    dialog.setAttribute("role", "dialog");
    dialog.setAttribute("aria-modal", "true");
    dialog.setAttribute("aria-labelledby", "shortcuts-title");
    dialog.innerHTML = "<h2 id=\"shortcuts-title\">键盘快捷键 · Keyboard shortcuts</h2>";
    keys.forEach(function (k) {
      var row = table.insertRow();
      if (k.match) row.setAttribute("data-match", k.match.join(" "));
      cell(row, "th", k.keys.map(function (key) { return "<kbd>" + text(key) + "</kbd>"; }).join(" "));
      cell(row, "td", text(k.zh) + "<br>" + text(k.en));
    });
    gestures.forEach(function (g) {
      var row = table.insertRow();
      cell(row, "th", text(g[0]) + "<br>" + text(g[1]));
      cell(row, "td", text(g[2]) + "<br>" + text(g[3]));
    });
    dialog.appendChild(table);
    var close = document.createElement("button");
    close.type = "button";
    close.textContent = "关闭 Close (Esc)";
    close.addEventListener("click", closeHelp);
    dialog.appendChild(close);
    overlay.appendChild(dialog);
    overlay.addEventListener("click", function (e) { if (e.target === overlay) closeHelp(); });
    body.appendChild(overlay);
  })();

  document.addEventListener("keydown", function (e) {
    if ((e.ctrlKey || e.metaKey) && !e.altKey && (e.key === "p" || e.key === "P")) {
      e.preventDefault();
      printAll();
      return;
    }
    if (e.ctrlKey || e.altKey || e.metaKey) return;
    for (var i = 0; i < keys.length; ++i) {
      var k = keys[i];
      if (!k.match || k.match.indexOf(e.key) < 0) continue;
      // While the list is open only its own keys act.
      if (helpOpen() && e.key !== "?" && e.key !== "Escape") return;
      e.preventDefault();
      k.run();
      return;
    }
  });
  document.querySelectorAll("[data-go]").forEach(function (link) {
    link.addEventListener("click", function (e) { e.preventDefault(); show(Number(link.getAttribute("data-go"))); });
  });
  var actions = { previous: function () { show(current - 1); }, next: function () { show(current + 1); },
                  print: printAll, help: openHelp };
  document.querySelectorAll("[data-action]").forEach(function (button) {
    button.addEventListener("click", function () { actions[button.getAttribute("data-action")](); });
  });
  count();
  if (figures.length) figures[0].classList.add("current");
  window.sheetBrowser = { views: views, show: show, loadAll: loadAll };
})();
)JS";

}  // namespace cadhost::setup

#endif
