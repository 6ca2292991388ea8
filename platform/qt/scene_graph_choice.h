// SceneGraphChoice: picks how Qt Quick draws before the first window exists. On a machine whose
// only OpenGL is a software rasterizer (Mesa's llvmpipe, softpipe or swrast), or that has none,
// Qt Quick's own software scene graph draws the same screens in a fraction of the time and
// memory; with a real GPU, Qt's default stays. A backend the user chose (QT_QUICK_BACKEND or
// QSG_RHI_BACKEND) always wins, and so does a platform that only ever draws in software.
#pragma once

#include <QString>

namespace allot::qt {

class SceneGraphChoice {
 public:
  // Needs the QGuiApplication. Returns what it chose: "software", or "default".
  static QString apply();

  // Whether an OpenGL renderer string names a software rasterizer.
  static bool isSoftwareRenderer(const QString& renderer);
};

}  // namespace allot::qt
