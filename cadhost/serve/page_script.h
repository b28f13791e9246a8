// The script of the page of `quillon serve`. Every text that came from a part or a command goes into the page as text,
// never as markup; sheets are shown as images, which run no script.
#ifndef CADHOST_SERVE_PAGE_SCRIPT_H
#define CADHOST_SERVE_PAGE_SCRIPT_H

namespace cadhost::serve {

inline constexpr const char* kPageScript = R"JS(
"use strict";
const token = document.querySelector('meta[name="quillon-token"]').content;
const $ = (id) => document.getElementById(id);
let part = null;        // the part shown
let nextEvent = 0;      // the index of the next event of its run
let polling = false;
let formOpen = false;
let lastPrompt = null;
let question = -1;      // the event of the question the run asks now (a form or a prompt)
let answered = -1;      // the question last answered: each is answered once
let formWaiting = null; // a form's answer given before the run showed the form again, for that form only
let runBar = null;      // the progress of the run under way

function el(tag, attrs, ...children) {
  const node = document.createElement(tag);
  for (const [k, v] of Object.entries(attrs || {})) {
    if (k === "class") node.className = v;
    else if (k.startsWith("on")) node.addEventListener(k.slice(2), v);
    else node.setAttribute(k, v);
  }
  for (const child of children) node.append(child instanceof Node ? child : document.createTextNode(String(child)));
  return node;
}

async function api(method, url, body) {
  const options = { method, headers: {} };
  if (method !== "GET") options.headers["X-Quillon-Token"] = token;
  if (body instanceof FormData) options.body = body;
  else if (body !== undefined) {
    options.body = JSON.stringify(body);
    options.headers["Content-Type"] = "application/json";
  }
  const response = await fetch(url, options);
  let data = {};
  try { data = await response.json(); } catch (e) { data = { error: "HTTP " + response.status }; }
  return { ok: response.ok, status: response.status, data };
}
const partQuery = () => "part=" + encodeURIComponent(part);

async function loadParts() {
  const { ok, data } = await api("GET", "api/parts");
  if (!ok) return;
  $("folder").textContent = data.folder;
  const list = $("parts");
  list.replaceChildren();
  for (const p of data.parts)
    list.append(el("li", {}, el("button", { class: p.part === part ? "current" : "", onclick: () => pick(p.part) },
                                p.part)));
  if (!data.parts.length) list.append(el("li", {}, "no part files yet: import a STEP model"));
}

$("import").addEventListener("submit", async (event) => {
  event.preventDefault();
  const notes = $("import-notes");
  notes.className = "";
  notes.textContent = "";
  const { ok, data } = await uploadImport(event.target, notes);
  notes.textContent = [data.error, data.output, data.errors].filter(Boolean).join("\n");
  notes.className = ok ? "" : "error";
  if (ok) {
    await loadParts();
    pick(data.part);
  }
});

// The import's upload with a bar of the bytes sent, which Cancel stops (nothing is imported then); once the file is
// there the server translates it, which cannot be stopped half-way, and the bar counts the seconds.
function uploadImport(form, notes) {
  return new Promise((resolve) => {
    const request = new XMLHttpRequest();
    const bar = progressBar(notes, "Importing · 导入", () => request.abort());
    request.open("POST", "api/import");
    request.setRequestHeader("X-Quillon-Token", token);
    request.upload.onprogress = (e) => {
      if (e.lengthComputable) bar.set(Math.round(e.loaded / 1024), Math.round(e.total / 1024), "KB sent");
    };
    request.upload.onload = () => {
      bar.element.querySelector("progress").removeAttribute("value");
      bar.element.querySelector("button").remove();
      bar.element.querySelector(".explanation").textContent = "reading and translating the STEP file";
    };
    const done = (answer) => { bar.end(""); resolve(answer); };
    request.onload = () => {
      let data;
      try { data = JSON.parse(request.responseText); } catch (e) { data = { error: "HTTP " + request.status }; }
      done({ ok: request.status >= 200 && request.status < 300, status: request.status, data });
    };
    request.onerror = () => done({ ok: false, status: 0, data: { error: "the server could not be reached" } });
    request.onabort = () => done({ ok: false, status: 0, data: { error: "the import was cancelled; nothing was imported" } });
    request.send(new FormData(form));
  });
}

async function pick(name) {
  part = name;
  nextEvent = 0;
  question = answered = -1;
  formWaiting = null;
  $("part").hidden = false;
  $("part-name").textContent = name;
  for (const bar of document.querySelectorAll("#part .progress")) bar.remove();
  for (const id of ["dialog", "run-panel", "sheets"]) $(id).hidden = true;
  loadParts();
  viewer.show(name);
  showPart();
  showSheets();
  follow();  // a run of the part the server is doing already
}

// Follows a long step of the part (what: export, check or model) until it ends, each of its lines to onLine: its
// exit status, or null when the page turned to something else first.
async function followStep(what, name, isCurrent, onLine) {
  const query = "what=" + what + "&part=" + encodeURIComponent(name);
  let next = 0;
  while (isCurrent()) {
    let reply;
    try {
      reply = await api("GET", "api/steps/events?" + query + "&from=" + next);
    } catch (e) {
      await new Promise((r) => setTimeout(r, 1000));
      continue;
    }
    if (!reply.ok) return null;
    next = reply.data.next;
    for (const event of reply.data.events) {
      if (event.event === "end") return event.status;
      if (event.event === "output") onLine(event.text);
    }
  }
  return null;
}

// The check as a step the page follows: a bar with the bodies checked, of how many, that Cancel stops. Its answer
// as the check's report: its lines of progress come first, the report (JSON) after them.
async function checkPart(name, isCurrent, range) {
  const query = "part=" + encodeURIComponent(name);
  const started = await api("POST", "api/steps/check?" + query + range);
  // A check of the part under way already (the page opened again) is followed rather than started twice.
  if (!started.ok && started.status !== 409) return started;
  for (const old of document.querySelectorAll("#check-progress")) old.remove();
  const bar = progressBar($("verdict"), "Checking · 检查", () => api("POST", "api/steps/cancel?what=check&" + query));
  bar.element.id = "check-progress";
  const report = [];
  const status = await followStep("check", name, isCurrent, (text) => {
    const counted = /^checked (\d+) of (\d+) bodies$/.exec(text);
    if (counted) bar.set(+counted[1], +counted[2], "");
    else report.push(text);
  });
  bar.end("");
  if (status === 137) return { ok: false, status, data: { error: "it was cancelled" } };
  let result = null;
  try { result = JSON.parse(report.join("\n")); } catch (e) { /* the check refused: its words say why */ }
  if (!result || typeof result !== "object") return { ok: false, status, data: { errors: report.join("\n") } };
  return { ok: true, status, data: { status, result } };
}

// Each showing of a part outdoes the one before: a check that comes back after another part (or another check of
// it) was asked for is not shown.
let partShown = 0;
async function showPart() {
  const shown = ++partShown;
  const isCurrent = () => shown === partShown;
  $("verdict").textContent = "checking…";
  $("verdict").className = "";
  // What the part holds comes first; the check, which runs the command's dialog and analysis as a run with the
  // electrode layers from the first to the last that holds one would, fills in its problems after.
  const info = await api("GET", "api/info?" + partQuery());
  if (!isCurrent()) return;
  showLayers(info);
  showElectrodes(info, null);
  const layers = info.ok ? info.data.result.electrode_candidates.map((entry) => entry.layer) : [];
  const range = layers.length ? "&layers=" + Math.min(...layers) + "-" + Math.max(...layers) : "";
  const check = await checkPart(part, isCurrent, range);
  if (isCurrent()) showElectrodes(info, check);
}

function showLayers(info) {
  const table = $("layers");
  table.replaceChildren(el("tr", {}, el("th", {}, "layer"), el("th", {}, "objects")));
  if (!info.ok) {
    table.append(el("tr", {}, el("td", { colspan: 2, class: "problems" }, info.data.error || info.data.errors)));
    return;
  }
  for (const layer of info.data.result.layers) {
    // Unnamed objects (the sheets' lines and points) are counted, not listed as blanks.
    const kinds = Object.entries(layer.objects).map(([kind, names]) => {
      const named = names.filter(Boolean);
      return kind + " ×" + names.length + (named.length ? ": " + named.join(", ") : "");
    });
    table.append(el("tr", {}, el("td", {}, layer.layer), el("td", {}, kinds.join("; "))));
  }
}

function attributesText(attributes) {
  return Object.entries(attributes || {}).map(([k, v]) => k + " = " + v).join("\n");
}

function showElectrodes(info, check) {
  const table = $("electrodes");
  table.replaceChildren(el("tr", {}, ...["layer", "name", "direction", "reference point", "attributes", "problems"]
                                          .map((h) => el("th", {}, h))));
  const verdict = $("verdict");
  if (!check || !check.ok) {
    verdict.className = check ? "stops" : "";
    verdict.textContent = check ? "the check could not run: " + (check.data.error || check.data.errors ||
                                                                   "the check gave no report (HTTP " + check.status + ")")
                                : "checking…";
    if (check) viewer.checked(null);
    if (!info.ok) return;
    for (const layer of info.data.result.electrode_candidates)
      for (const [i, body] of layer.bodies.entries())
        table.append(el("tr", { "data-key": layer.layer + ":" + (i + 1) }, el("td", {}, layer.layer), el("td", {}, body.name), el("td", {}, ""),
                        el("td", {}, ""), el("td", {}, el("pre", {}, attributesText(body.attributes))), el("td", {}, "")));
    return;
  }
  const result = check.data.result;
  const general = [...result.configuration_problems, ...result.dialog_problems, ...result.core_problems,
                   ...result.sheet_problems, ...result.messages, ...result.warnings];
  verdict.className = result.run_would_complete ? "fine" : "stops";
  verdict.textContent = result.run_would_complete ? "a run would make every sheet"
    : result.stops_with ? "a run would stop with " + result.stops_with + " (" + result.problems + " problem(s))"
    : result.problems > 0 ? "a run would stop: " + result.problems + " problem(s)"
    : "a run would make no sheet: no visible solid body off the core layer" +
      (result.core_layer ? " " + result.core_layer : "") + (result.layers ? " on layers " + result.layers.join("-") : "") +
      " (see the layers below; the run's form can name other layers)";
  for (const p of general) verdict.append(el("div", { class: "problem" }, typeof p === "string" ? p : p.message));
  for (const body of result.bodies) {
    const problems = el("td", { class: body.problems.length ? "problems" : "fine" });
    if (!body.problems.length) problems.append("none");
    for (const p of body.problems)
      problems.append(el("div", { class: "problem" }, p.message, el("div", { class: "explanation" }, p.explanation || "")));
    const point = body.reference_point ? body.reference_point.join(", ") : "";
    table.append(el("tr", { "data-key": body.layer + ":" + body.index_on_layer }, el("td", {}, body.layer),
                    el("td", {}, body.name || "(no name)"),
                    el("td", {}, body.direction || ""), el("td", {}, point),
                    el("td", {}, el("pre", {}, attributesText(body.attributes))), problems));
  }
  viewer.checked(result);
}

$("run").addEventListener("click", async () => {
  const { ok, data } = await api("POST", "api/run?" + partQuery());
  if (!ok) {
    alert(data.error);
    return;
  }
  nextEvent = 0;
  question = answered = -1;
  formWaiting = null;
  clearRunMessages();
  $("run-panel").hidden = false;
  follow();
});

// The messages of one run or undo never stay on the next.
function clearRunMessages() {
  $("messages").replaceChildren();
  $("closing").textContent = "";
  $("closing").className = "";
  $("status").textContent = "";
  $("form-messages").replaceChildren();
  $("prompt-why").textContent = "";
}

$("undo").addEventListener("click", async () => {
  if (!confirm("Undo the last run of " + part + "? The part goes back to how it was before that run, and its " +
               "sheets are exported again.\n撤销上次运行?")) return;
  clearRunMessages();
  const { ok, data } = await api("POST", "api/undo?" + partQuery());
  $("run-panel").hidden = false;
  $("closing").className = ok ? "" : "failed";
  $("closing").textContent = [data.error, data.output, data.errors].filter(Boolean).join("\n");
  showPart();
  if (ok) exportSheets();
});

$("export").addEventListener("click", () => exportSheets());
$("recheck").addEventListener("click", () => showPart());

// Follows the part's run: long polling, each event once, until the run ends.
async function follow() {
  if (polling) return;
  polling = true;
  const name = part;
  try {
    while (name === part) {
      let reply;
      try {
        reply = await api("GET", "api/run/events?" + partQuery() + "&from=" + nextEvent);
      } catch (e) {
        await new Promise((r) => setTimeout(r, 1000));
        continue;
      }
      if (!reply.ok || name !== part) break;
      $("run-panel").hidden = false;
      const first = nextEvent;
      nextEvent = reply.data.next;
      let ended = false;
      reply.data.events.forEach((event, i) => {
        if (["form", "prompt", "not_accepted"].includes(event.event)) question = first + i;
        ended = handle(event) || ended;
        // An OK pressed while the refused form was on its way back answers that form, never a form closed or a prompt.
        if (["form_closed", "prompt", "not_accepted", "end"].includes(event.event)) formWaiting = null;
        if (event.event === "form" && formWaiting) sendForm(formWaiting);
      });
      if (ended) break;
    }
  } finally {
    polling = false;
  }
}

function addMessage(kind, text) {
  $("messages").append(el("li", { class: kind }, (kind === "message" ? "" : kind + ": ") + text));
  $("messages").scrollTop = $("messages").scrollHeight;
  if (formOpen && kind === "message") $("form-messages").append(el("div", { class: "message" }, text));
}

// One event of the run; true when it was the last.
function handle(event) {
  switch (event.event) {
    case "form": showForm(event); break;
    case "field_refused":
      $("form-messages").append(el("div", { class: "error" }, (event.field ? event.field + ": " : "") + event.why));
      break;
    case "form_refused":
      $("form-messages").prepend(el("div", { class: "error" }, "OK was refused; the form stays open with your entries"));
      break;
    case "form_closed":
      formOpen = false;
      $("dialog").hidden = true;
      break;
    case "status": {
      $("status").textContent = event.text;
      const counted = /\((\d+)\/(\d+)\)/.exec(event.text);
      if (!counted) break;
      if (!runBar) runBar = progressBar($("status"), "Making the sheets · 生成图纸",
                                        () => api("POST", "api/steps/cancel?what=run&" + partQuery()));
      runBar.set(+counted[1], +counted[2], "sheet of electrode " + event.text);
      break;
    }
    case "message": case "warning": case "listing": addMessage(event.event, event.text); break;
    case "prompt": lastPrompt = event; showPrompt(event, ""); break;
    case "not_accepted": if (lastPrompt) showPrompt(lastPrompt, event.why); break;
    case "output":
      $("closing").textContent += event.text + "\n";
      break;
    case "end":
      if (runBar) runBar.end(event.status === 137 ? "the run was cancelled; nothing of it was saved" : "");
      runBar = null;
      formOpen = false;
      $("dialog").hidden = true;
      $("modal").hidden = true;
      $("closing").textContent += "exit status " + event.status + "\n";
      $("closing").className = event.status === 0 ? "" : "failed";
      showPart();
      if (event.status === 0 || event.status === 1) exportSheets();
      return true;
  }
  return false;
}

function fieldInput(field) {
  const value = field.value;
  switch (field.kind) {
    case "toggle":
      return el("input", Object.assign({ type: "checkbox", "data-id": field.id }, value ? { checked: "" } : {}));
    case "radio": {
      const box = el("span", { class: "choices", "data-id": field.id, "data-radio": "1" });
      for (const c of field.choices)
        box.append(el("label", {}, el("input", Object.assign({ type: "radio", name: "r_" + field.id, value: c.value },
                                                             c.value === value ? { checked: "" } : {})),
                      " " + c.value + " " + c.text));
      return box;
    }
    case "integer": return el("input", { type: "number", step: "1", value: value, "data-id": field.id });
    case "real": return el("input", { type: "number", step: "any", value: value, "data-id": field.id });
    default: return el("input", { type: "text", value: value, "data-id": field.id, size: 40 });
  }
}

function showForm(event) {
  formOpen = true;
  const opening = $("dialog").hidden;
  $("dialog").hidden = false;
  if (opening) $("dialog").scrollIntoView();
  $("dialog-title").textContent = "The command's form · " + event.title;
  if (opening) $("form-messages").replaceChildren();
  $("dialog-source").textContent = event.source;
  const form = $("form");
  form.replaceChildren();
  for (const field of event.fields)
    form.append(el("div", { class: "row" },
                   el("label", {}, field.label, el("div", { class: "id" },
                                                   (field.name ? field.name + " · " : "") + field.id + " · " + field.kind)),
                   fieldInput(field)));
}

function formLines() {
  const lines = [];
  for (const node of $("form").querySelectorAll("[data-id]")) {
    let value;
    if (node.dataset.radio) {
      const chosen = node.querySelector("input:checked");
      if (!chosen) continue;
      value = chosen.value;
    } else if (node.type === "checkbox") value = node.checked ? "1" : "0";
    else value = node.value;
    lines.push("set " + node.dataset.id + "=" + value);
  }
  return lines;
}

for (const button of document.querySelectorAll("#dialog [data-b]"))
  button.addEventListener("click", async () => {
    const lines = [...formLines(), button.dataset.b];
    if (answered === question) formWaiting = lines;
    else sendForm(lines);
  });

async function sendForm(lines) {
  formWaiting = null;
  answered = question;
  $("form-messages").replaceChildren();
  const { ok, data } = await api("POST", "api/run/answer?" + partQuery(), { to: question, lines });
  if (!ok) $("form-messages").append(el("div", { class: "error" }, data.error));
}

async function answer(line) {
  if (answered === question) return;
  answered = question;
  $("modal").hidden = true;
  const { ok, data } = await api("POST", "api/run/answer?" + partQuery(), { to: question, lines: [line] });
  if (!ok && lastPrompt) showPrompt(lastPrompt, data.error);
}

const round = (v) => Math.round(v * 1000) / 1000;

// The sheet as drawn so far, to click on: for a point on the model the views seen from above take the click.
function sheetPicker(prompt, onPoint) {
  const sheet = prompt.sheet;
  const url = URL.createObjectURL(new Blob([sheet.svg], { type: "image/svg+xml" }));
  const image = el("img", { src: url, alt: sheet.name });
  const pick = el("div", { class: "pick" }, image);
  const model = prompt.kind === "point" && prompt.coordinates === 3;
  const place = () => {
    for (const old of pick.querySelectorAll(".view")) old.remove();
    if (!model) return;
    for (const v of sheet.top_views) {
      const [x0, y0, x1, y1] = v.box;
      pick.append(el("div", { class: "view", title: v.name, style:
        `left:${x0 / sheet.width * 100}%;top:${(1 - y1 / sheet.height) * 100}%;` +
        `width:${(x1 - x0) / sheet.width * 100}%;height:${(y1 - y0) / sheet.height * 100}%` }));
    }
  };
  image.addEventListener("load", place);
  if (onPoint)
    pick.addEventListener("click", (e) => {
      const r = image.getBoundingClientRect();
      const sx = (e.clientX - r.left) / r.width * sheet.width;
      const sy = (1 - (e.clientY - r.top) / r.height) * sheet.height;
      let point = [sx, sy];
      if (model) {
        const v = sheet.top_views.find((v) => sx >= v.box[0] && sx <= v.box[2] && sy >= v.box[1] && sy <= v.box[3]);
        if (!v) {
          $("prompt-why").textContent = "click inside a view seen from above (framed in blue)";
          return;
        }
        point = [(v.cx + (sx - v.ref_x) / v.scale) * v.right_x, (v.cy + (sy - v.ref_y) / v.scale) * v.up_y];
      }
      for (const old of pick.querySelectorAll(".mark")) old.remove();
      pick.append(el("div", { class: "mark", style: `left:${e.clientX - r.left}px;top:${e.clientY - r.top}px` }));
      onPoint(point.map(round));
    });
  return pick;
}

function showPrompt(prompt, why) {
  $("modal").hidden = false;
  $("prompt-heading").textContent = prompt.kind === "buttons"
      ? "The command asks a question" + (prompt.heading ? " · " + prompt.heading : "")
      : prompt.kind === "point"
      ? "The command asks for a point " + (prompt.coordinates === 3 ? "on the model" : "on " + prompt.space) +
        " (Enter confirms, Esc cancels)"
      : "The command asks for a text (Enter confirms, Esc cancels)";
  $("prompt-cue").textContent = prompt.cue;
  $("prompt-why").textContent = why;
  const body = $("prompt-body");
  body.replaceChildren();
  const backCancel = () => [el("button", { onclick: () => answer("back") }, "Back"),
                            el("button", { onclick: () => answer("cancel"), "data-answer": "cancel" }, "Cancel")];
  if (prompt.kind === "text") {
    const input = el("input", { type: "text", value: prompt.text, size: 50, id: "prompt-text" });
    const ok = () => answer(input.value === prompt.text ? "ok" : "text: " + input.value);
    input.addEventListener("keydown", (e) => { if (e.key === "Enter") ok(); });
    body.append(input, el("div", { class: "buttons" }, el("button", { onclick: ok, "data-answer": "ok" }, "OK"),
                          ...backCancel()));
    input.focus();
  } else if (prompt.kind === "point") {
    const n = prompt.coordinates;
    const typed = ["x", "y", "z"].slice(0, n).map((a) => el("input", { type: "number", step: "any", size: 8,
                                                                       "aria-label": a, value: "0" }));
    const send = () => answer("point: " + typed.map((i) => i.value || "0").join(", "));
    if (prompt.sheet)
      body.append(el("p", {}, n === 3 ? "Click the point in the top view of the sheet (its depth is typed as z):"
                                      : "Click the place on the sheet:"),
                  sheetPicker(prompt, (p) => {
                    p.forEach((v, i) => { typed[i].value = v; });
                    if (n === 2) send();
                  }));
    body.append(el("div", { class: "buttons" }, ...typed.flatMap((input, i) => ["xyz"[i] + " ", input]),
                   el("button", { onclick: send, id: "prompt-point-ok", "data-answer": "ok" }, "OK"), ...backCancel()));
  } else {
    if (prompt.sheet) body.append(sheetPicker(prompt, null));
    body.append(el("div", { class: "buttons" },
                   ...prompt.buttons.map((label) => el("button", { onclick: () => answer("button: " + label) }, label))));
  }
}

// A bar for a long step: its counts as the step tells them ("sheet 3 of 8"), and a button that stops it.
function progressBar(place, label, stop) {
  const meter = el("progress", {}), counts = el("span", {}, ""), line = el("div", { class: "explanation" });
  const cancel = el("button", { onclick: () => { cancel.disabled = true; stop(); } }, "Cancel · 取消");
  const bar = el("div", { class: "progress" }, el("b", {}, label + " "), meter, " ", counts, " ", cancel, line);
  place.after(bar);
  const started = Date.now();
  const tick = setInterval(() => {
    if (!meter.hasAttribute("value")) counts.textContent = Math.round((Date.now() - started) / 1000) + " s";
  }, 1000);
  return {
    element: bar,
    set(done, all, text) {
      meter.max = all;
      meter.value = done;
      counts.textContent = done + " / " + all;
      line.textContent = text || "";
    },
    end(problem) {
      clearInterval(tick);
      if (!problem) bar.remove();
      else bar.replaceChildren(el("b", {}, label + ": "), problem);
      bar.classList.add("error");
    },
  };
}

// The export of the sheets as a step the page follows: a bar with the sheets written, of how many.
async function exportSheets() {
  const { ok, data } = await api("POST", "api/steps/export?" + partQuery());
  if (!ok) {
    $("sheets").hidden = true;
    return;
  }
  const name = part;
  for (const old of document.querySelectorAll("#export-progress")) old.remove();
  const bar = progressBar(document.querySelector("#part .buttons"), "Exporting the sheets · 导出图纸",
                          () => api("POST", "api/steps/cancel?" + partQuery()));
  bar.element.id = "export-progress";
  const said = [];
  const status = await followStep("export", name, () => name === part, (text) => {
    const counted = /(\d+) of (\d+)/.exec(text);
    if (counted) bar.set(+counted[1], +counted[2], text);
    else said.push(text);
  });
  // A part without sheets (never run, or undone) has nothing to export: the sheets are hidden, as there are none.
  bar.end(status === 0 || status === 1 ? "" : status === 137 ? "cancelled; the sheets exported before are kept"
                                             : said.filter((t) => t.includes("export")).join("\n") || "it failed");
  if (status === 0) showSheets();
  else if (status === 1) $("sheets").hidden = true;
}

async function showSheets() {
  const { ok, data } = await api("GET", "api/sheets?" + partQuery());
  if (!ok || !data.files.includes("index.html")) {
    $("sheets").hidden = true;
    return;
  }
  const base = "files/" + data.folder.split("/").map(encodeURIComponent).join("/") + "/";
  const stem = part.split("/").pop().replace(/\.prt$/, "");
  const links = $("downloads");
  links.replaceChildren();
  const link = (href, text) => links.append(el("a", { href, download: "" }, text));
  for (const f of data.files) {
    if (f === stem + ".pdf") link(base + encodeURIComponent(f) + "?download=1", "PDF");
    if (f === stem + ".json") link(base + encodeURIComponent(f) + "?download=1", "JSON report");
    if (f.endsWith(".csv") || f.endsWith(".xlsx")) link(base + encodeURIComponent(f) + "?download=1", f);
  }
  if (data.files.some((f) => f.endsWith(".svg"))) link("api/zip?kind=svg&" + partQuery(), "SVG (zip)");
  if (data.files.some((f) => f.endsWith(".dxf"))) link("api/zip?kind=dxf&" + partQuery(), "DXF (zip)");
  $("browser").src = base + "index.html?t=" + Date.now();
  $("sheets").hidden = false;
}

// Enter confirms and Esc cancels the command's form and its prompts, as in a CAD system's dialogs. A prompt of
// buttons takes no key: its answer is a choice of the designer's.
document.addEventListener("keydown", (e) => {
  if (e.isComposing || e.repeat) return;
  const press = (selector) => { const b = document.querySelector(selector); if (b) { e.preventDefault(); b.click(); } };
  if (!$("modal").hidden) {
    const buttons = [...$("prompt-body").querySelectorAll("button")];
    if (!buttons.some((b) => b.textContent === "Cancel")) return;
    if (e.key === "Escape") press("#prompt-body [data-answer=cancel]");
    else if (e.key === "Enter" && e.target.id !== "prompt-text" && e.target.tagName !== "BUTTON")
      press("#prompt-body [data-answer=ok]");
  } else if (!$("dialog").hidden && formOpen) {
    if (e.key === "Escape") press("#dialog [data-b=cancel]");
    else if (e.key === "Enter" && e.target.tagName !== "BUTTON") press("#dialog [data-b=ok]");
  }
});

// A STEP file dropped anywhere on the window goes into the import form.
let dragging = 0;
document.addEventListener("dragenter", (e) => { if (e.dataTransfer.types.includes("Files")) document.body.classList.add("dropping"), ++dragging; });
document.addEventListener("dragleave", () => { if (--dragging <= 0) document.body.classList.remove("dropping"), dragging = 0; });
document.addEventListener("dragover", (e) => e.preventDefault());
document.addEventListener("drop", (e) => {
  e.preventDefault();
  dragging = 0;
  document.body.classList.remove("dropping");
  const file = [...e.dataTransfer.files].find((f) => /\.(step|stp)$/i.test(f.name));
  const notes = $("import-notes");
  if (!file) {
    notes.className = "error";
    notes.textContent = "only a STEP file (.step, .stp) can be dropped here";
    return;
  }
  const files = new DataTransfer();
  files.items.add(file);
  document.querySelector("#import input[name=step]").files = files.files;
  notes.className = "";
  notes.textContent = file.name + " is ready: choose the options and press Import";
  $("import-button").focus();
});

$("refresh").addEventListener("click", loadParts);
loadParts();
)JS";

}  // namespace cadhost::serve

#endif
