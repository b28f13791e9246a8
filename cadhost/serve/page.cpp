#include "cadhost/serve/page.h"

#include "cadhost/serve/page_script.h"
#include "cadhost/serve/page_style.h"
#include "cadhost/serve/viewer_script.h"
#include "cadhost/serve/viewer_style.h"

namespace cadhost::serve {

namespace {

constexpr const char* kBody = R"HTML(
<header><h1>quillon</h1><span id="folder"></span></header>
<div id="layout">
<aside>
  <section><h2>Parts</h2><ul id="parts"></ul><button id="refresh">Refresh</button></section>
  <section><h2>Import a STEP model</h2>
    <form id="import">
      <label>STEP file <input type="file" name="step" accept=".step,.stp,.STEP,.STP" required></label>
      <label>Attribute file or electrode table <input type="file" name="attrs" accept=".json,.csv,.xlsx"></label>
      <label>Layer map <input type="file" name="layer_map"></label>
      <label><input type="checkbox" name="auto_layers" value="1"> layers from the solids (without a layer map)</label>
      <label><input type="checkbox" name="keep_going" value="1"> import the rest when some solids cannot be read</label>
      <label>Names <select name="names" title="automatic: a body's name unless it is made up, then its part's">
        <option value="auto">automatic</option><option value="product">products'</option>
        <option value="body">bodies'</option></select></label>
      <label>Name encoding <input type="text" name="name_encoding" placeholder="guessed (GB18030, CP1251, …)"></label>
      <label><input type="checkbox" name="add_diagonals" value="1"> add the diagonal lines electrodes lack</label>
      <label>Part name <input type="text" name="name" placeholder="as the STEP file"></label>
      <label><input type="checkbox" name="replace" value="1"> import over a part of that name</label>
      <button id="import-button">Import</button>
    </form>
    <pre id="import-notes"></pre>
  </section>
</aside>
<main>
  <section id="part" hidden>
    <h2 id="part-name"></h2>
    <div class="buttons"><button id="run">Run the command</button><button id="undo">Undo the last run</button>
      <button id="export">Export the sheets</button><button id="recheck">Check again</button></div>
    <div id="verdict"></div>
    <div id="view3d"><div id="view3d-note" hidden></div></div><div id="view3d-info"></div>
    <h3>Electrodes</h3><table id="electrodes"></table>
    <h3>Layers</h3><table id="layers"></table>
  </section>
  <section id="dialog" hidden><h2 id="dialog-title"></h2><div id="dialog-source" class="id"></div>
    <form id="form" onsubmit="return false"></form><div id="form-messages"></div>
    <div class="buttons"><button data-b="ok">OK</button><button data-b="back">Back</button>
      <button data-b="cancel">Cancel</button></div></section>
  <section id="run-panel" hidden><h2>Run</h2><div id="status"></div><ol id="messages"></ol><pre id="closing"></pre>
  </section>
  <section id="sheets" hidden><h2>Sheets</h2><div id="downloads"></div><iframe id="browser" title="sheets"></iframe>
  </section>
</main>
</div>
<div id="modal" hidden><div class="box"><h3 id="prompt-heading"></h3><p id="prompt-cue"></p><div id="prompt-body"></div>
  <div id="prompt-why"></div></div></div>
)HTML";

}  // namespace

std::string page_html(const std::string& token) {
    return std::string("<!DOCTYPE html>\n<html lang=\"zh\"><head><meta charset=\"utf-8\">\n") +
           "<meta name=\"quillon-token\" content=\"" + token + "\">\n<title>quillon</title>\n<style>" + kPageStyle +
           kViewerStyle + "</style></head><body>" + kBody + "<script>" + kPageScript + kViewerScript +
           "</script></body></html>\n";
}

}  // namespace cadhost::serve
