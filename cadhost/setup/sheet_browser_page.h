// The fixed parts of the sheet browser page: its style and its script.
#ifndef CADHOST_SETUP_SHEET_BROWSER_PAGE_H
#define CADHOST_SETUP_SHEET_BROWSER_PAGE_H

namespace cadhost::setup {

inline constexpr const char* kBrowserStyle = R"CSS(
body { margin: 0; font-family: "WenQuanYi Micro Hei", "Noto Sans CJK SC", sans-serif; background: #e8e8e8;
       color: #111; }
header { padding: 8px 16px; background: #263238; color: #fff; }
header h1 { font-size: 18px; margin: 0; }
header p { margin: 2px 0 0; font-size: 12px; color: #cfd8dc; }
nav { padding: 8px 16px; background: #fff; border-bottom: 1px solid #bbb; overflow-x: auto; }
table.setup { border-collapse: collapse; font-size: 12px; white-space: nowrap; }
table.setup th, table.setup td { border: 1px solid #bbb; padding: 2px 6px; text-align: center; }
table.setup td.note { text-align: left; white-space: pre-line; }
table.setup tr.current { background: #fff3c4; }
table.setup a { color: #0d47a1; text-decoration: none; font-weight: bold; }
main { padding: 8px 16px 40vh; }
figure { margin: 12px 0; background: #fff; box-shadow: 0 1px 4px rgba(0,0,0,.3); }
figure.current { outline: 3px solid #f9a825; }
figcaption { padding: 4px 8px; font-size: 13px; border-bottom: 1px solid #ddd; }
.viewport { position: relative; overflow: hidden; width: 100%; cursor: grab; background: #fff; }
.viewport.dragging { cursor: grabbing; }
.viewport img { position: absolute; left: 0; top: 0; width: 100%; height: 100%; transform-origin: 0 0;
                user-select: none; -webkit-user-drag: none; }
.help { font-size: 12px; color: #555; margin: 4px 0 0; }
)CSS";

// Zoom with the wheel about the pointer, pan by dragging, double click to fit again; n, p or the arrow keys go to the
// next or previous sheet. When every drawing has loaded, the body tells how many (for checks that read the page).
inline constexpr const char* kBrowserScript = R"JS(
(function () {
  "use strict";
  var figures = Array.prototype.slice.call(document.querySelectorAll("figure.sheet"));
  var current = 0;
  function view(figure) {
    var state = { scale: 1, x: 0, y: 0 };
    var box = figure.querySelector(".viewport"), img = box.querySelector("img");
    function apply() { img.style.transform = "translate(" + state.x + "px," + state.y + "px) scale(" + state.scale + ")"; }
    box.addEventListener("wheel", function (e) {
      e.preventDefault();
      var r = box.getBoundingClientRect(), px = e.clientX - r.left, py = e.clientY - r.top;
      var f = Math.exp(-e.deltaY * 0.0015), s = Math.min(40, Math.max(1, state.scale * f));
      f = s / state.scale;
      state.x = px - (px - state.x) * f; state.y = py - (py - state.y) * f; state.scale = s;
      if (s === 1) { state.x = 0; state.y = 0; }
      apply();
    }, { passive: false });
    var drag = null;
    box.addEventListener("mousedown", function (e) {
      drag = { x: e.clientX - state.x, y: e.clientY - state.y }; box.classList.add("dragging"); e.preventDefault();
    });
    window.addEventListener("mousemove", function (e) {
      if (!drag) return;
      state.x = e.clientX - drag.x; state.y = e.clientY - drag.y; apply();
    });
    window.addEventListener("mouseup", function () { drag = null; box.classList.remove("dragging"); });
    box.addEventListener("dblclick", function () { state = { scale: 1, x: 0, y: 0 }; apply(); });
  }
  function show(index) {
    if (index < 0 || index >= figures.length) return;
    figures[current].classList.remove("current");
    document.querySelectorAll("tr[data-sheet]").forEach(function (row) {
      row.classList.toggle("current", row.getAttribute("data-sheet") === String(index));
    });
    current = index;
    figures[current].classList.add("current");
    figures[current].scrollIntoView({ block: "start" });
  }
  figures.forEach(view);
  document.querySelectorAll("[data-go]").forEach(function (link) {
    link.addEventListener("click", function (e) { e.preventDefault(); show(Number(link.getAttribute("data-go"))); });
  });
  document.addEventListener("keydown", function (e) {
    if (e.key === "ArrowRight" || e.key === "n" || e.key === "PageDown") {
      e.preventDefault(); show(current + 1);
    } else if (e.key === "ArrowLeft" || e.key === "p" || e.key === "PageUp") {
      e.preventDefault(); show(current - 1);
    }
  });
  window.addEventListener("load", function () {
    var shown = figures.filter(function (f) { var i = f.querySelector("img"); return i.complete && i.naturalWidth > 0; });
    document.body.setAttribute("data-sheets-shown", String(shown.length));
  });
  if (figures.length) figures[0].classList.add("current");
})();
)JS";

}  // namespace cadhost::setup

#endif
