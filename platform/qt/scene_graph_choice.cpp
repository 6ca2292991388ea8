#include "platform/qt/scene_graph_choice.h"

#include <QDir>
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQuickWindow>

namespace allot::qt {
namespace {

// Whether the kernel offers a GPU to render with (a DRM render node). Without one, any OpenGL is
// a software rasterizer, and finding out which would cost a context (tens of megabytes).
bool hasRenderNode() {
  const QDir devices(QStringLiteral("/dev/dri"));
  return !devices.entryList({QStringLiteral("renderD*")}, QDir::System).isEmpty();
}

// The renderer of the OpenGL that Qt would use; empty when there is none.
QString openGLRenderer() {
  QOpenGLContext context;
  if (!context.create()) return {};
  QOffscreenSurface surface;
  surface.setFormat(context.format());
  surface.create();
  if (!surface.isValid() || !context.makeCurrent(&surface)) return {};
  const auto* renderer =
      reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER));
  QString name = renderer != nullptr ? QString::fromLatin1(renderer) : QString();
  context.doneCurrent();
  return name;
}

}  // namespace

bool SceneGraphChoice::isSoftwareRenderer(const QString& renderer) {
  for (const char* software : {"llvmpipe", "softpipe", "swrast", "software rasterizer"}) {
    if (renderer.contains(QLatin1String(software), Qt::CaseInsensitive)) return true;
  }
  return false;
}

QString SceneGraphChoice::apply() {
  if (qEnvironmentVariableIsSet("QT_QUICK_BACKEND") ||
      qEnvironmentVariableIsSet("QSG_RHI_BACKEND")) {
    return QStringLiteral("default");
  }
  const QString platform = QGuiApplication::platformName();
  const bool softwareOnly = platform == QLatin1String("offscreen") ||
                            platform == QLatin1String("vnc") ||
                            platform == QLatin1String("minimal");
  const QString renderer = softwareOnly || !hasRenderNode() ? QString() : openGLRenderer();
  if (softwareOnly || renderer.isEmpty() || isSoftwareRenderer(renderer)) {
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    return QStringLiteral("software");
  }
  return QStringLiteral("default");
}

}  // namespace allot::qt
