// The fixed style of the sheet browser page: on screen (mouse, touch) and on paper.
#ifndef CADHOST_SETUP_SHEET_BROWSER_PAGE_H
#define CADHOST_SETUP_SHEET_BROWSER_PAGE_H

namespace cadhost::setup {

// Tap targets are at least 44 px on a touch screen. A sheet at its fitted size lets a vertical swipe scroll the page
// (touch-action: pan-y) and takes every gesture once zoomed, so a drag pans the drawing rather than the page. Until a
// sheet's drawing has loaded, its frame keeps the sheet's proportions so the page does not jump while scrolling.
// On paper: A4 landscape, the setup table first with its header row on every page, then one sheet a page scaled to
// fit; no buttons, help or highlights.
inline constexpr const char* kBrowserStyle = R"CSS(
body { margin: 0; font-family: "WenQuanYi Micro Hei", "Noto Sans CJK SC", sans-serif; background: #e8e8e8;
       color: #111; }
header { position: sticky; top: 0; z-index: 2; display: flex; align-items: center; gap: 12px; padding: 4px 16px;
         background: #263238; color: #fff; }
header .title { flex: 1; min-width: 0; }
header h1 { font-size: 18px; margin: 0; overflow: hidden; text-overflow: ellipsis; white-space: nowrap; }
header p { margin: 2px 0 0; font-size: 12px; color: #cfd8dc; }
header .tools { display: flex; gap: 6px; }
header button { min-width: 40px; min-height: 36px; padding: 0 10px; font: inherit; font-size: 16px; color: #fff;
                background: #37474f; border: 1px solid #607d8b; border-radius: 4px; cursor: pointer; }
header button:hover, header button:focus-visible { background: #455a64; }
nav { padding: 8px 16px; background: #fff; border-bottom: 1px solid #bbb; overflow-x: auto; }
table.setup { border-collapse: collapse; font-size: 12px; white-space: nowrap; }
table.setup th, table.setup td { border: 1px solid #bbb; padding: 2px 6px; text-align: center; }
table.setup td.note { text-align: left; white-space: pre-line; }
table.setup tr.current { background: #fff3c4; }
table.setup a { color: #0d47a1; text-decoration: none; font-weight: bold; }
main { padding: 8px 16px 40vh; }
figure { margin: 12px 0; background: #fff; box-shadow: 0 1px 4px rgba(0,0,0,.3); scroll-margin-top: 60px; }
figure.current { outline: 3px solid #f9a825; }
figcaption { padding: 4px 8px; font-size: 13px; border-bottom: 1px solid #ddd; }
.viewport { position: relative; overflow: hidden; width: 100%; cursor: grab; background: #fff; touch-action: pan-y; }
.viewport.zoomed { touch-action: none; }
.viewport.dragging { cursor: grabbing; }
.viewport img { position: absolute; left: 0; top: 0; width: 100%; height: 100%; transform-origin: 0 0;
                user-select: none; -webkit-user-select: none; -webkit-user-drag: none; -webkit-touch-callout: none; }
figure:not(.loaded) .viewport { background: repeating-linear-gradient(135deg, #fafafa 0 12px, #f1f1f1 12px 24px); }
.viewport::before { content: "…"; position: absolute; inset: 0; display: flex; align-items: center;
                    justify-content: center; color: #9e9e9e; font-size: 14px; }
figure.loaded .viewport::before { content: none; }
figure.failed .viewport::before { content: "图纸文件无法打开 · the drawing's file cannot be opened"; color: #b71c1c; }
figure.failed img { visibility: hidden; }
.help { font-size: 12px; color: #555; margin: 4px 0 0; }
.overlay { position: fixed; inset: 0; z-index: 10; display: flex; align-items: center; justify-content: center;
           background: rgba(0,0,0,.45); }
.overlay[hidden] { display: none; }
.overlay .dialog { max-width: calc(100vw - 32px); max-height: calc(100vh - 32px); overflow: auto; padding: 12px 20px;
                   background: #fff; border-radius: 6px; box-shadow: 0 4px 24px rgba(0,0,0,.4); }
.overlay h2 { font-size: 16px; margin: 0 0 8px; }
.overlay table { border-collapse: collapse; font-size: 13px; }
.overlay th, .overlay td { padding: 4px 10px; border-bottom: 1px solid #e0e0e0; text-align: left; vertical-align: top; }
.overlay kbd { display: inline-block; min-width: 1.4em; padding: 0 4px; margin: 1px 2px; text-align: center;
               font: inherit; border: 1px solid #9e9e9e; border-radius: 3px; background: #f5f5f5; }
.overlay button { min-width: 44px; min-height: 40px; margin-top: 10px; font: inherit; cursor: pointer; }
@media (pointer: coarse) {
  header button { min-width: 48px; min-height: 48px; font-size: 20px; }
  table.setup a { display: inline-block; min-width: 44px; padding: 12px 4px; }
}
@page { size: A4 landscape; margin: 8mm; }
@media print {
  body { background: #fff; }
  header { position: static; display: block; padding: 0 0 2mm; background: none; color: #000; }
  header p { color: #333; }
  header .tools, .help, .overlay { display: none !important; }
  nav { padding: 0; border: 0; overflow: visible; }
  table.setup { width: 100%; font-size: 7pt; }
  table.setup th { white-space: normal; }
  table.setup thead { display: table-header-group; }
  table.setup tr { break-inside: avoid; }
  table.setup tr.current { background: none; }
  table.setup a { display: inline; padding: 0; color: #000; }
  main { padding: 0; }
  figure.sheet { display: flex; flex-direction: column; height: 190mm; margin: 0; break-before: page;
                 break-inside: avoid; box-shadow: none; outline: none; }
  figcaption { padding: 0 0 1mm; font-size: 8pt; border: 0; }
  .viewport { flex: 1 1 auto; min-height: 0; padding-top: 0 !important; background: none !important; }
  .viewport::before { content: none !important; }
  .viewport img { transform: none !important; object-fit: contain; }
}
)CSS";

}  // namespace cadhost::setup

#endif
