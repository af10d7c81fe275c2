// The skin engine: keeps the attached skin and the two adjustments, and
// re-applies the whole look to the application whenever one of them changes.
//
// Everything handed to Qt is a heap copy: the program may unload this
// library while the application still holds the palette and style sheet.
#include <QApplication>
#include <QFile>
#include <QStyle>
#include <QStyleFactory>

#include <algorithm>
#include <cmath>
#include <optional>

#include "runtime/paths.h"
#include "skin/exports.h"
#include "skin/skin_file.h"

// The name the engine gives itself in the application's "skinEngine"
// property; test builds of the engine set their own.
#ifndef SKIN_ENGINE_BUILD
#define SKIN_ENGINE_BUILD "jedata"
#endif

namespace {

struct HsvShift {
    int hue = 0;
    int saturation = 0;
    int brightness = 0;
};

struct Glass {
    int sheen = 0;
    std::optional<int> cornerRadius;  // none: the skin's own radius
};

struct EngineState {
    std::optional<SkinFile> skin;
    HsvShift shift;
    Glass glass;
};

EngineState& State() {
    static EngineState state;
    return state;
}

QColor Shifted(const QColor& colour, const HsvShift& shift) {
    if (shift.hue == 0 && shift.saturation == 0 && shift.brightness == 0) return colour;
    float hue = 0, saturation = 0, value = 0;
    colour.getHsvF(&hue, &saturation, &value);
    if (hue >= 0) hue = std::fmod(hue * 360 + float(shift.hue) + 360, 360.0f) / 360;
    saturation = std::clamp(saturation * float(100 + shift.saturation) / 100, 0.0f, 1.0f);
    value = std::clamp(value * float(100 + shift.brightness) / 100, 0.0f, 1.0f);
    return QColor::fromHsvF(hue, saturation, value).toRgb();
}

bool Apply() {
    auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    const EngineState& state = State();
    if (application == nullptr || !state.skin) return false;
    const SkinFile& skin = *state.skin;

    QMap<QString, QColor> colours;
    for (auto colour = skin.colours.cbegin(); colour != skin.colours.cend(); ++colour)
        colours.insert(colour.key(), Shifted(colour.value(), state.shift));

    QPalette palette = application->style()->standardPalette();
    for (const SkinRoleColour& entry : skin.roles) {
        if (entry.group)
            palette.setColor(*entry.group, entry.role, colours.value(entry.colour));
        else
            palette.setColor(entry.role, colours.value(entry.colour));
    }
    QApplication::setPalette(palette);
    application->setStyleSheet(RenderSkinSheet(skin.sheet, colours, state.glass.sheen,
                                                state.glass.cornerRadius.value_or(skin.radius)));
    application->setProperty("skinEngine", QString::fromUtf8(SKIN_ENGINE_BUILD));
    return true;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int32_t SkinH_AttachEx(const char* skinFile,
                                                                          const char* /*reserved*/) {
    if (skinFile == nullptr || qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
        return 0;
    QFile file(QString::fromLocal8Bit(HostPath(skinFile)));
    if (!file.open(QIODevice::ReadOnly)) return 0;
    std::optional<SkinFile> skin = ReadSkinFile(file.readAll());
    if (!skin) return 0;
    QStyle* style = QStyleFactory::create(skin->style);
    if (style == nullptr) return 0;
    QApplication::setStyle(style);
    State().skin = std::move(skin);
    return Apply() ? 1 : 0;
}

extern "C" __attribute__((visibility("default"))) int32_t SkinH_AdjustHSV(int32_t hue, int32_t saturation,
                                                                           int32_t brightness) {
    State().shift = {std::clamp(hue, -180, 180), std::clamp(saturation, -100, 100),
                     std::clamp(brightness, -100, 100)};
    return Apply() ? 1 : 0;
}

extern "C" __attribute__((visibility("default"))) int32_t SkinH_AdjustAero(
    int32_t sheen, int32_t /*reserved1*/, int32_t /*reserved2*/, int32_t cornerRadius, int32_t /*reserved3*/,
    int32_t /*reserved4*/, int32_t /*reserved5*/, int32_t /*reserved6*/, int32_t /*reserved7*/) {
    State().glass = {std::clamp(sheen, 0, 255), std::clamp(cornerRadius, 0, 12)};
    return Apply() ? 1 : 0;
}
