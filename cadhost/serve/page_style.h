// The style of the page of `quillon serve`.
#ifndef CADHOST_SERVE_PAGE_STYLE_H
#define CADHOST_SERVE_PAGE_STYLE_H

namespace cadhost::serve {

inline constexpr const char* kPageStyle = R"CSS(
* { box-sizing: border-box; }
body { margin: 0; font: 14px "WenQuanYi Micro Hei", "Noto Sans CJK SC", sans-serif; background: #eceff1; color: #111; }
header { padding: 8px 16px; background: #263238; color: #fff; display: flex; gap: 16px; align-items: baseline; }
header h1 { font-size: 18px; margin: 0; }
header span { color: #cfd8dc; font-size: 12px; }
#layout { display: flex; align-items: flex-start; }
aside { width: 300px; flex: none; padding: 8px; }
main { flex: 1; padding: 8px; min-width: 0; }
section { background: #fff; margin: 0 0 8px; padding: 8px 12px; box-shadow: 0 1px 3px rgba(0,0,0,.25); }
h2 { font-size: 16px; margin: 4px 0 8px; }
h3 { font-size: 14px; margin: 12px 0 4px; }
#parts { list-style: none; padding: 0; margin: 0 0 8px; max-height: 40vh; overflow: auto; }
#parts button { width: 100%; text-align: left; border: 0; background: none; padding: 4px; cursor: pointer; }
#parts button.current { background: #fff3c4; font-weight: bold; }
#import label { display: block; margin: 4px 0; font-size: 13px; }
pre { white-space: pre-wrap; font-size: 12px; margin: 4px 0; }
table { border-collapse: collapse; font-size: 12px; width: 100%; }
th, td { border: 1px solid #cfd8dc; padding: 3px 6px; text-align: left; vertical-align: top; }
td.problems { color: #b71c1c; }
td.fine { color: #1b5e20; }
.problem { margin-bottom: 4px; }
.explanation { color: #555; }
.buttons { display: flex; gap: 8px; margin: 8px 0; flex-wrap: wrap; }
button { font: inherit; padding: 4px 12px; }
#verdict.fine { color: #1b5e20; font-weight: bold; }
#verdict.stops { color: #b71c1c; font-weight: bold; }
#form .row { display: grid; grid-template-columns: 220px 1fr; gap: 8px; padding: 3px 0; border-bottom: 1px solid #eee; }
#form .row input[type=checkbox] { justify-self: start; }
#form .row .id { color: #777; font-size: 11px; }
#form .choices label { margin-right: 12px; white-space: nowrap; }
#form-messages .message, .error { color: #b71c1c; }
#status { font-size: 18px; font-weight: bold; margin: 4px 0; }
#messages { font-size: 12px; max-height: 30vh; overflow: auto; }
#closing.failed { color: #b71c1c; }
#sheets iframe { width: 100%; height: 80vh; border: 1px solid #bbb; }
#downloads a { margin-right: 12px; }
#modal { position: fixed; inset: 0; background: rgba(0,0,0,.45); display: flex; align-items: center;
         justify-content: center; z-index: 10; }
#modal[hidden] { display: none; }
#modal .box { background: #fff; padding: 12px 16px; max-width: 96vw; max-height: 96vh; overflow: auto;
              box-shadow: 0 4px 16px rgba(0,0,0,.5); }
#prompt-cue { white-space: pre-wrap; font-size: 15px; }
.pick { position: relative; display: inline-block; border: 1px solid #999; cursor: crosshair; }
.pick img { display: block; width: min(900px, 90vw); }
.pick .view { position: absolute; outline: 2px dashed #1565c0; background: rgba(21,101,192,.06); }
.pick .mark { position: absolute; width: 12px; height: 12px; margin: -6px 0 0 -6px; border: 2px solid #d50000;
              border-radius: 50%; pointer-events: none; }
#prompt-why { color: #b71c1c; min-height: 1em; }
input[type=text], input[type=number] { font: inherit; padding: 2px 4px; }
)CSS";

}  // namespace cadhost::serve

#endif
