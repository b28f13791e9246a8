// The style of the 3D view and of what the page added for long steps and dropped files.
#ifndef CADHOST_SERVE_VIEWER_STYLE_H
#define CADHOST_SERVE_VIEWER_STYLE_H

namespace cadhost::serve {

inline constexpr const char* kViewerStyle = R"CSS(
#view3d { position: relative; height: 48vh; min-height: 280px; border: 1px solid #cfd8dc; background: #f5f7f9; }
#view3d canvas { width: 100%; height: 100%; display: block; cursor: grab; }
#view3d-note { position: absolute; left: 8px; top: 8px; right: 8px; font-size: 13px; background: rgba(255,255,255,.9);
               padding: 4px 8px; }
#view3d-info { min-height: 1.5em; font-size: 12px; margin: 4px 0; }
#view3d-info .fine { color: #1b5e20; }
#electrodes tr[data-key] { cursor: pointer; }
#electrodes tr.selected td { background: #e3f2fd; }
.progress { margin: 6px 0; font-size: 12px; }
.progress progress { width: 60%; vertical-align: middle; }
body.dropping::after { content: "Drop the STEP file to import it · 拖放 STEP 文件以导入"; position: fixed; inset: 0;
                       display: flex; align-items: center; justify-content: center; font-size: 24px;
                       background: rgba(21,101,192,.18); border: 4px dashed #1565c0; pointer-events: none; }
)CSS";

}  // namespace cadhost::serve

#endif
