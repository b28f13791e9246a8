// The 3D view of the page of `quillon serve`: the part's model (its GLB) drawn with three.js, which the server reads
// from the machine's own copy. The core is grey and see-through, each electrode in its colour or red when its check
// fails, with an arrow to its EDM point along the way it burns. A click on a body selects its row of the electrode
// table; a click on a row shows its body. Without three.js or WebGL the view says so and the tables work on.
#ifndef CADHOST_SERVE_VIEWER_SCRIPT_H
#define CADHOST_SERVE_VIEWER_SCRIPT_H

namespace cadhost::serve {

inline constexpr const char* kViewerScript = R"JS(
"use strict";
const viewer = (() => {
  const box = document.getElementById("view3d");
  const note = document.getElementById("view3d-note");
  const info = document.getElementById("view3d-info");
  const CORE = 0x9aa4ad, COPPER = 0xb87333, FAILED = 0xd50000, PICKED = 0x1565c0;
  // The side of the box the base lies on, and so the way the electrode moves into the steel: away from its base.
  const BURN = { "t": [0, 0, -1], "-t": [0, 0, 1], "f": [0, 1, 0], "-f": [0, -1, 0], "s": [-1, 0, 0], "-s": [1, 0, 0] };
  let renderer = null, scene, camera, controls, model = null, arrows = null, shown = null, selected = null;
  let frame = null;
  let bodies = new Map();   // "layer:index" -> { mesh, role, layer, index, colour }
  let failing = new Set(), checkBodies = new Map(), coreProblems = null;
  let loaded = null;

  const say = (text, bad) => { note.textContent = text; note.className = bad ? "error" : ""; note.hidden = !text; };
  function script(src) {
    return new Promise((ok, fail) => {
      const s = document.createElement("script");
      s.src = src;
      s.onload = ok;
      s.onerror = () => fail(new Error(src));
      document.head.append(s);
    });
  }
  function three() {
    if (!loaded)
      loaded = script("three/three.min.js")
        .then(() => Promise.all([script("three/OrbitControls.js"), script("three/GLTFLoader.js")]));
    return loaded;
  }

  function draw() { if (renderer) renderer.render(scene, camera); }
  function resize() {
    if (!renderer) return;
    const w = box.clientWidth, h = box.clientHeight;
    renderer.setSize(w, h, false);
    camera.aspect = w / Math.max(h, 1);
    camera.updateProjectionMatrix();
    draw();
  }

  function setup() {
    if (renderer) return true;
    try {
      renderer = new THREE.WebGLRenderer({ antialias: true, preserveDrawingBuffer: true });
    } catch (e) {
      say("this browser cannot draw 3D (no WebGL): the tables below show the part", true);
      return false;
    }
    renderer.setPixelRatio(window.devicePixelRatio || 1);
    renderer.domElement.style.touchAction = "none";
    box.prepend(renderer.domElement);
    scene = new THREE.Scene();
    scene.background = new THREE.Color(0xf5f7f9);
    camera = new THREE.PerspectiveCamera(35, 1, 0.1, 1e6);
    camera.up.set(0, 0, 1);  // the model keeps its own axes: Z up
    camera.add(new THREE.DirectionalLight(0xffffff, 0.55));
    scene.add(camera, new THREE.HemisphereLight(0xffffff, 0x707880, 0.75));
    controls = new THREE.OrbitControls(camera, renderer.domElement);
    controls.screenSpacePanning = true;
    controls.addEventListener("change", draw);
    new ResizeObserver(resize).observe(box);
    // A click (not a drag) picks the body under the pointer.
    let down = null;
    renderer.domElement.addEventListener("pointerdown", (e) => { down = [e.clientX, e.clientY]; });
    renderer.domElement.addEventListener("pointerup", (e) => {
      if (down && Math.hypot(e.clientX - down[0], e.clientY - down[1]) < 5) pickAt(e.clientX, e.clientY);
      down = null;
    });
    return true;
  }

  function bodyAt(x, y) {
    const r = renderer.domElement.getBoundingClientRect();
    const ray = new THREE.Raycaster();
    ray.setFromCamera(new THREE.Vector2((x - r.left) / r.width * 2 - 1, -(y - r.top) / r.height * 2 + 1), camera);
    const hits = ray.intersectObjects([...bodies.values()].map((b) => b.mesh), true);
    // The core is see-through: an electrode behind it is what the designer points at.
    const owner = (o) => { while (o && !o.userData.quillonKey) o = o.parent; return o && bodies.get(o.userData.quillonKey); };
    const found = hits.map((h) => owner(h.object)).filter(Boolean);
    return found.find((b) => b.role !== "core") || found[0] || null;
  }
  function pickAt(x, y) {
    const body = bodyAt(x, y);
    select(body ? body.key : null, false);
  }

  function paint() {
    for (const body of bodies.values()) {
      const m = body.material;
      const colour = body.role === "core" ? CORE : failing.has(body.key) ? FAILED : body.colour;
      m.color.setHex(colour);
      m.transparent = body.role === "core";
      m.opacity = body.role === "core" ? 0.28 : 1;
      m.depthWrite = body.role !== "core";
      body.mesh.renderOrder = body.role === "core" ? 1 : 0;
    }
    draw();
  }

  function showInfo() {
    info.replaceChildren();
    const body = selected && bodies.get(selected);
    if (!body) return;
    const checked = body.role === "core" ? coreProblems && { problems: coreProblems } : checkBodies.get(selected);
    info.append(el("b", {}, (body.role === "core" ? "core · 型芯" : "electrode · 电极") + ": " + body.name +
                                " (layer " + body.layer + ")"));
    if (checked && checked.problems.length)
      for (const p of checked.problems) info.append(el("div", { class: "problem" }, p.message,
                                                       el("div", { class: "explanation" }, p.explanation || "")));
    else if (checked) info.append(el("div", { class: "fine" }, "no problem found by the check"));
  }

  // Selects a body ("layer:index", or null for none): its row too when the click was in the view.
  function select(key, fromRow) {
    selected = key && bodies.has(key) ? key : null;
    for (const row of document.querySelectorAll("#electrodes tr.selected")) row.classList.remove("selected");
    const row = key && document.querySelector('#electrodes tr[data-key="' + key + '"]');
    if (row) {
      row.classList.add("selected");
      if (!fromRow) row.scrollIntoView({ block: "nearest" });
    }
    if (fromRow && selected) {
      // The camera turns to the body and keeps its distance.
      const centre = new THREE.Box3().setFromObject(bodies.get(selected).mesh).getCenter(new THREE.Vector3());
      camera.position.add(centre.clone().sub(controls.target));
      controls.target.copy(centre);
      controls.update();
    }
    // The picked body keeps its colour (red tells it fails) inside a frame drawn over everything.
    if (frame) scene.remove(frame);
    frame = null;
    if (selected) {
      frame = new THREE.BoxHelper(bodies.get(selected).mesh, PICKED);
      frame.material.depthTest = false;
      frame.renderOrder = 3;
      scene.add(frame);
    }
    paint();
    showInfo();
  }

  function fit() {
    const bounds = new THREE.Box3().setFromObject(model);
    const centre = bounds.getCenter(new THREE.Vector3()), size = bounds.getSize(new THREE.Vector3()).length() || 1;
    camera.near = size / 1000;
    camera.far = size * 100;
    camera.position.copy(centre).add(new THREE.Vector3(0.9, -1.4, 1.1).multiplyScalar(size * 0.6));
    controls.target.copy(centre);
    camera.updateProjectionMatrix();
    controls.update();
  }

  function placeArrows() {
    if (arrows) scene.remove(arrows);
    arrows = new THREE.Group();
    for (const [key, body] of checkBodies) {
      const burn = BURN[body.direction];
      if (!burn || !body.reference_point) continue;
      const size = body.box ? Math.max(...body.box.max.map((v, i) => v - body.box.min[i])) : 20;
      const length = Math.min(Math.max(size * 0.6, 5), 60);
      const way = new THREE.Vector3(...burn), point = new THREE.Vector3(...body.reference_point);
      const arrow = new THREE.ArrowHelper(way, point.clone().addScaledVector(way, -length), length,
                                          failing.has(key) ? FAILED : 0x2e7d32, length * 0.3, length * 0.15);
      arrow.traverse((o) => { if (o.material) { o.material.depthTest = false; o.renderOrder = 2; } });
      arrow.userData.quillonArrow = key;
      arrows.add(arrow);
    }
    scene.add(arrows);
    draw();
  }

  // The check's findings: which bodies fail, their problems, and their EDM points and directions.
  function checked(result) {
    failing = new Set();
    checkBodies = new Map();
    coreProblems = result ? result.core_problems : null;
    for (const body of (result && result.bodies) || []) {
      const key = body.layer + ":" + body.index_on_layer;
      checkBodies.set(key, body);
      if (body.problems.length) failing.add(key);
    }
    if (!model) return;
    paint();
    placeArrows();
    showInfo();
  }

  async function show(part) {
    shown = part;
    if (model) scene.remove(model);
    if (frame) scene.remove(frame);
    model = frame = null;
    delete box.dataset.bodies;
    bodies = new Map();
    selected = null;
    info.replaceChildren();
    say("loading the 3D model…");
    try {
      await three();
    } catch (e) {
      say("The 3D view needs three.js, which the server reads from this machine: install Debian's libjs-three " +
          "(apt install libjs-three) or start quillon serve with QUILLON_THREE_DIR set to a copy of it, then reload. " +
          "The tables below work without it.", true);
      return;
    }
    if (!setup()) return;
    // A part newer than its model has it made first, which takes a while on a large mould: a bar counts the bodies.
    const query = "part=" + encodeURIComponent(part);
    const made = await api("POST", "api/steps/model?" + query);
    if (shown !== part) return;
    if (made.ok && !made.data.current) {
      const bar = progressBar(info, "Making the 3D model · 生成三维模型",
                              () => api("POST", "api/steps/cancel?what=model&" + query));
      const said = [];
      const status = await followStep("model", part, () => shown === part, (text) => {
        const counted = /(\d+) of (\d+) bodies/.exec(text);
        if (counted) bar.set(+counted[1], +counted[2], "bodies meshed");
        else said.push(text);
      });
      bar.end("");
      if (shown !== part) return;
      if (status !== 0) {
        say("no 3D model: " + (status === 137 ? "its making was cancelled" : said.join("\n") || "it could not be made"),
            true);
        return;
      }
    }
    const response = await fetch("api/model?part=" + encodeURIComponent(part),
                                 { method: "POST", headers: { "X-Quillon-Token": token } });
    if (shown !== part) return;
    if (!response.ok) {
      let why = "HTTP " + response.status;
      try { why = (await response.json()).error; } catch (e) { /* the status says it */ }
      say("no 3D model: " + why, true);
      return;
    }
    const bytes = await response.arrayBuffer();
    new THREE.GLTFLoader().parse(bytes, "", (gltf) => {
      if (shown !== part) return;
      model = gltf.scene;
      model.traverse((o) => {
        const x = o.userData;
        if (!x || !x.role || !x.layer) return;
        const key = x.layer + ":" + x.index_on_layer;
        x.quillonKey = key;
        const material = new THREE.MeshStandardMaterial({ metalness: 0.15, roughness: 0.6, side: THREE.DoubleSide });
        o.traverse((m) => { if (m.isMesh) m.material = material; });
        bodies.set(key, { key, mesh: o, material, role: x.role, layer: x.layer, index: x.index_on_layer,
                          name: o.name, colour: x.color ? parseInt(x.color.slice(1), 16) : COPPER });
      });
      // Names as the part has them: the loader makes node names fit its own rules.
      for (const node of (gltf.parser.json.nodes || []))
        if (node.extras && node.extras.layer) {
          const body = bodies.get(node.extras.layer + ":" + node.extras.index_on_layer);
          if (body) body.name = node.name;
        }
      scene.add(model);
      fit();
      resize();
      paint();
      placeArrows();
      say("");
      box.dataset.bodies = bodies.size;
    }, (e) => say("the 3D model could not be read: " + (e.message || e), true));
  }

  // three.js is read while the designer picks a part: it is large, and the model is shown sooner.
  three().catch(() => {});

  // A click on a row of the electrode table shows its body.
  document.getElementById("electrodes").addEventListener("click", (e) => {
    const row = e.target.closest("tr[data-key]");
    if (row) select(row.dataset.key, true);
  });

  // For tests and the curious: the body drawn at a point of the page, and the colour it is drawn in.
  return { show, checked, select, bodyAt: (x, y) => { const b = renderer && bodyAt(x, y); return b ? b.key : null; },
           colourOf: (key) => bodies.has(key) ? bodies.get(key).material.color.getHex() : null,
           screenOf: (key) => {
             const b = bodies.get(key);
             if (!b) return null;
             const c = new THREE.Box3().setFromObject(b.mesh).getCenter(new THREE.Vector3()).project(camera);
             const r = renderer.domElement.getBoundingClientRect();
             return [r.left + (c.x + 1) / 2 * r.width, r.top + (1 - c.y) / 2 * r.height];
           } };
})();
)JS";

}  // namespace cadhost::serve

#endif
