#include "figure_canvas.h"

#include <objidl.h>  // what gdiplus.h needs and WIN32_LEAN_AND_MEAN leaves out
#include <gdiplus.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>
#include <vector>

#include "wide_text.h"

namespace zelvane::win32 {
namespace {

namespace gp = Gdiplus;
namespace flat = Gdiplus::DllExports;
using explain::Ink;
using explain::Point;

// GDI+'s flat functions, looked up in gdiplus.dll when a figure is first
// drawn: the worksheet starts without the library, and most pupils open
// no explanation.
struct Api {
    HMODULE module = LoadLibraryW(L"gdiplus.dll");
    bool ok = module != nullptr;
    ULONG_PTR token = 0;

    template <typename Function>
    void Get(Function& function, const char* name) {
        function = module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
        ok = ok && function != nullptr;
    }

    decltype(&gp::GdiplusStartup) startup;
    decltype(&flat::GdipCreateFromHDC) createFromHdc;
    decltype(&flat::GdipCreateBitmapFromScan0) createBitmap;
    decltype(&flat::GdipGetImageGraphicsContext) imageGraphics;
    decltype(&flat::GdipDisposeImage) disposeImage;
    decltype(&flat::GdipDeleteGraphics) deleteGraphics;
    decltype(&flat::GdipSetSmoothingMode) smoothing;
    decltype(&flat::GdipSetPixelOffsetMode) pixelOffset;
    decltype(&flat::GdipSetTextRenderingHint) textHint;
    decltype(&flat::GdipSetPageUnit) pageUnit;
    decltype(&flat::GdipGraphicsClear) clear;
    decltype(&flat::GdipCreatePen1) createPen;
    decltype(&flat::GdipSetPenLineJoin) penJoin;
    decltype(&flat::GdipDeletePen) deletePen;
    decltype(&flat::GdipCreateSolidFill) createFill;
    decltype(&flat::GdipDeleteBrush) deleteBrush;
    decltype(&flat::GdipDrawEllipse) drawEllipse;
    decltype(&flat::GdipFillEllipse) fillEllipse;
    decltype(&flat::GdipDrawLine) drawLine;
    decltype(&flat::GdipDrawPolygon) drawPolygon;
    decltype(&flat::GdipFillPolygon) fillPolygon;
    decltype(&flat::GdipDrawLines) drawLines;
    decltype(&flat::GdipDrawArc) drawArc;
    decltype(&flat::GdipCreateFontFamilyFromName) family;
    decltype(&flat::GdipGetGenericFontFamilySansSerif) sansSerif;
    decltype(&flat::GdipDeleteFontFamily) deleteFamily;
    decltype(&flat::GdipCreateFontFromLogfontW) fontFromLogfont;
    decltype(&flat::GdipGetFamily) familyOf;
    decltype(&flat::GdipCreateFont) createFont;
    decltype(&flat::GdipDeleteFont) deleteFont;
    decltype(&flat::GdipCreateStringFormat) createFormat;
    decltype(&flat::GdipSetStringFormatAlign) formatAlign;
    decltype(&flat::GdipSetStringFormatLineAlign) formatLineAlign;
    decltype(&flat::GdipDeleteStringFormat) deleteFormat;
    decltype(&flat::GdipDrawString) drawString;

    Api() {
        Get(startup, "GdiplusStartup");
        Get(createFromHdc, "GdipCreateFromHDC");
        Get(createBitmap, "GdipCreateBitmapFromScan0");
        Get(imageGraphics, "GdipGetImageGraphicsContext");
        Get(disposeImage, "GdipDisposeImage");
        Get(deleteGraphics, "GdipDeleteGraphics");
        Get(smoothing, "GdipSetSmoothingMode");
        Get(pixelOffset, "GdipSetPixelOffsetMode");
        Get(textHint, "GdipSetTextRenderingHint");
        Get(pageUnit, "GdipSetPageUnit");
        Get(clear, "GdipGraphicsClear");
        Get(createPen, "GdipCreatePen1");
        Get(penJoin, "GdipSetPenLineJoin");
        Get(deletePen, "GdipDeletePen");
        Get(createFill, "GdipCreateSolidFill");
        Get(deleteBrush, "GdipDeleteBrush");
        Get(drawEllipse, "GdipDrawEllipse");
        Get(fillEllipse, "GdipFillEllipse");
        Get(drawLine, "GdipDrawLine");
        Get(drawPolygon, "GdipDrawPolygon");
        Get(fillPolygon, "GdipFillPolygon");
        Get(drawLines, "GdipDrawLines");
        Get(drawArc, "GdipDrawArc");
        Get(family, "GdipCreateFontFamilyFromName");
        Get(sansSerif, "GdipGetGenericFontFamilySansSerif");
        Get(deleteFamily, "GdipDeleteFontFamily");
        Get(fontFromLogfont, "GdipCreateFontFromLogfontW");
        Get(familyOf, "GdipGetFamily");
        Get(createFont, "GdipCreateFont");
        Get(deleteFont, "GdipDeleteFont");
        Get(createFormat, "GdipCreateStringFormat");
        Get(formatAlign, "GdipSetStringFormatAlign");
        Get(formatLineAlign, "GdipSetStringFormatLineAlign");
        Get(deleteFormat, "GdipDeleteStringFormat");
        Get(drawString, "GdipDrawString");
        if (ok) {
            const gp::GdiplusStartupInput input;
            ok = startup(&token, &input, nullptr) == gp::Ok;
        }
    }
};

// Null where GDI+ is missing or does not start. Started once and kept
// for the program's life.
const Api* TheApi() {
    static const Api* const api = [] {
        auto* made = new Api;
        return made->ok ? made : nullptr;
    }();
    return api;
}

}  // namespace

Placement PlaceFigure(const explain::Figure& figure, double width, double height) {
    Placement placement;
    if (figure.width <= 0 || figure.height <= 0 || width <= 0 || height <= 0) {
        return placement;
    }
    placement.scale = std::min(width / figure.width, height / figure.height);
    placement.left = (width - figure.width * placement.scale) / 2;
    placement.top = (height - figure.height * placement.scale) / 2;
    return placement;
}

struct Canvas::State {
    const Api& api;
    gp::GpGraphics* graphics = nullptr;
    gp::GpBitmap* bitmap = nullptr;
    gp::GpFontFamily* family = nullptr;
    std::wstring familyFace;
    std::map<std::pair<long, bool>, gp::GpFont*> fonts;  // by size in quarter units, bold
    gp::GpStringFormat* formats[3] = {};                 // by Align

    explicit State(const Api& a) : api(a) {}
    ~State() {
        for (auto& [key, font] : fonts) {
            api.deleteFont(font);
        }
        if (family) {
            api.deleteFamily(family);
        }
        for (gp::GpStringFormat* format : formats) {
            if (format) {
                api.deleteFormat(format);
            }
        }
        if (graphics) {
            api.deleteGraphics(graphics);
        }
        if (bitmap) {
            api.disposeImage(bitmap);
        }
    }

    void Prepare() {
        api.pageUnit(graphics, gp::UnitPixel);
        api.smoothing(graphics, gp::SmoothingModeAntiAlias);
        // Pixel i covers [i, i + 1), as the figure's units expect.
        api.pixelOffset(graphics, gp::PixelOffsetModeHalf);
        api.textHint(graphics, gp::TextRenderingHintAntiAlias);
    }

    gp::GpFont* Font(const std::wstring& face, double pixels, bool bold) {
        if (!family || familyFace != face) {
            for (auto& [key, font] : fonts) {
                api.deleteFont(font);
            }
            fonts.clear();
            if (family) {
                api.deleteFamily(family);
                family = nullptr;
            }
            family = FamilyOf(face);
            if (!family) {
                return nullptr;
            }
            familyFace = face;
        }
        const std::pair<long, bool> key{std::lround(pixels * 4), bold};
        if (const auto found = fonts.find(key); found != fonts.end()) {
            return found->second;
        }
        gp::GpFont* font = nullptr;
        if (api.createFont(family, static_cast<gp::REAL>(key.first / 4.0), bold ? gp::FontStyleBold : gp::FontStyleRegular,
                           gp::UnitPixel, &font) != gp::Ok) {
            return nullptr;
        }
        fonts.emplace(key, font);
        return font;
    }

    // The family of a face by its name; or, for a name GDI+ does not list
    // (a substitute such as "MS Shell Dlg", as some systems name their
    // dialog font), the family GDI gives a font of that name; or any
    // sans-serif one.
    gp::GpFontFamily* FamilyOf(const std::wstring& face) const {
        gp::GpFontFamily* found = nullptr;
        if (api.family(face.c_str(), nullptr, &found) == gp::Ok && found) {
            return found;
        }
        found = nullptr;
        LOGFONTW logfont{};
        logfont.lfHeight = -16;
        logfont.lfCharSet = DEFAULT_CHARSET;
        face.copy(logfont.lfFaceName, LF_FACESIZE - 1);
        const HDC screen = GetDC(nullptr);
        gp::GpFont* font = nullptr;
        if (api.fontFromLogfont(screen, &logfont, &font) == gp::Ok && font) {
            if (api.familyOf(font, &found) != gp::Ok) {
                found = nullptr;
            }
            api.deleteFont(font);
        }
        ReleaseDC(nullptr, screen);
        if (!found && api.sansSerif(&found) != gp::Ok) {
            found = nullptr;
        }
        return found;
    }

    gp::GpStringFormat* Format(explain::Align align) {
        gp::GpStringFormat*& format = formats[static_cast<std::size_t>(align)];
        if (!format && api.createFormat(gp::StringFormatFlagsNoWrap | gp::StringFormatFlagsNoClip, LANG_NEUTRAL,
                                        &format) == gp::Ok) {
            api.formatAlign(format, align == explain::Align::kLeft    ? gp::StringAlignmentNear
                                    : align == explain::Align::kRight ? gp::StringAlignmentFar
                                                                      : gp::StringAlignmentCenter);
            api.formatLineAlign(format, gp::StringAlignmentCenter);
        }
        return format;
    }
};

Canvas::Canvas(std::unique_ptr<State> state) : state_(std::move(state)) {}
Canvas::~Canvas() = default;

std::unique_ptr<Canvas> Canvas::OnPixels(void* bits, int width, int height) {
    const Api* api = TheApi();
    if (!api || !bits || width <= 0 || height <= 0) {
        return nullptr;
    }
    auto state = std::make_unique<State>(*api);
    // Drawn by GDI+ itself into the pixels, antialiased everywhere (on a
    // device context some systems' GDI+ leave shapes to GDI, which does
    // not smooth them).
    if (api->createBitmap(width, height, width * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(bits), &state->bitmap) !=
            gp::Ok ||
        api->imageGraphics(state->bitmap, &state->graphics) != gp::Ok) {
        return nullptr;
    }
    state->Prepare();
    return std::unique_ptr<Canvas>(new Canvas(std::move(state)));
}

std::unique_ptr<Canvas> Canvas::OnDc(HDC dc) {
    const Api* api = TheApi();
    if (!api || !dc) {
        return nullptr;
    }
    auto state = std::make_unique<State>(*api);
    if (api->createFromHdc(dc, &state->graphics) != gp::Ok) {
        return nullptr;
    }
    state->Prepare();
    return std::unique_ptr<Canvas>(new Canvas(std::move(state)));
}

namespace {

gp::ARGB Argb(Ink ink, bool print) {
    const explain::Rgb c = explain::Colour(ink, print);
    return 0xFF000000u | static_cast<gp::ARGB>(c.red) << 16 | static_cast<gp::ARGB>(c.green) << 8 | c.blue;
}

}  // namespace

void Canvas::Clear(Ink ink) { state_->api.clear(state_->graphics, Argb(ink, print_)); }

void Canvas::Circle(Point at, double radius, Ink stroke, Ink fill, double width) {
    const Api& api = state_->api;
    const double s = placement_.scale;
    const auto x = static_cast<gp::REAL>(placement_.left + (at.x - radius) * s);
    const auto y = static_cast<gp::REAL>(placement_.top + (at.y - radius) * s);
    const auto d = static_cast<gp::REAL>(2 * radius * s);
    if (fill != Ink::kNone) {
        gp::GpSolidFill* brush = nullptr;
        if (api.createFill(Argb(fill, print_), &brush) == gp::Ok) {
            api.fillEllipse(state_->graphics, brush, x, y, d, d);
            api.deleteBrush(brush);
        }
    }
    if (stroke != Ink::kNone && width > 0) {
        gp::GpPen* pen = nullptr;
        if (api.createPen(Argb(stroke, print_), static_cast<gp::REAL>(width * s), gp::UnitPixel, &pen) == gp::Ok) {
            api.drawEllipse(state_->graphics, pen, x, y, d, d);
            api.deletePen(pen);
        }
    }
}

void Canvas::Line(Point from, Point to, Ink ink, double width) {
    Point points[] = {from, to};
    Polyline(points, 2, ink, width);
}

namespace {

std::vector<gp::PointF> Device(const Placement& placement, const Point* points, std::size_t count) {
    std::vector<gp::PointF> device;
    device.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        device.emplace_back(static_cast<gp::REAL>(placement.left + points[i].x * placement.scale),
                            static_cast<gp::REAL>(placement.top + points[i].y * placement.scale));
    }
    return device;
}

}  // namespace

void Canvas::Polygon(const Point* points, std::size_t count, Ink stroke, Ink fill, double width) {
    if (count < 2) {
        return;
    }
    const Api& api = state_->api;
    const std::vector<gp::PointF> device = Device(placement_, points, count);
    const INT n = static_cast<INT>(device.size());
    if (fill != Ink::kNone) {
        gp::GpSolidFill* brush = nullptr;
        if (api.createFill(Argb(fill, print_), &brush) == gp::Ok) {
            api.fillPolygon(state_->graphics, brush, device.data(), n, gp::FillModeAlternate);
            api.deleteBrush(brush);
        }
    }
    if (stroke != Ink::kNone && width > 0) {
        gp::GpPen* pen = nullptr;
        if (api.createPen(Argb(stroke, print_), static_cast<gp::REAL>(width * placement_.scale), gp::UnitPixel,
                          &pen) == gp::Ok) {
            api.penJoin(pen, gp::LineJoinRound);
            api.drawPolygon(state_->graphics, pen, device.data(), n);
            api.deletePen(pen);
        }
    }
}

void Canvas::Polyline(const Point* points, std::size_t count, Ink ink, double width) {
    if (count < 2 || ink == Ink::kNone || width <= 0) {
        return;
    }
    const Api& api = state_->api;
    const std::vector<gp::PointF> device = Device(placement_, points, count);
    gp::GpPen* pen = nullptr;
    if (api.createPen(Argb(ink, print_), static_cast<gp::REAL>(width * placement_.scale), gp::UnitPixel, &pen) ==
        gp::Ok) {
        api.penJoin(pen, gp::LineJoinRound);
        if (count == 2) {
            api.drawLine(state_->graphics, pen, device[0].X, device[0].Y, device[1].X, device[1].Y);
        } else {
            api.drawLines(state_->graphics, pen, device.data(), static_cast<INT>(device.size()));
        }
        api.deletePen(pen);
    }
}

void Canvas::Arc(Point centre, double radius, double start, double sweep, Ink ink, double width) {
    if (ink == Ink::kNone || width <= 0 || radius <= 0) {
        return;
    }
    const Api& api = state_->api;
    const double s = placement_.scale;
    gp::GpPen* pen = nullptr;
    if (api.createPen(Argb(ink, print_), static_cast<gp::REAL>(width * s), gp::UnitPixel, &pen) == gp::Ok) {
        // GDI+ measures arcs as the figure does: degrees clockwise on the
        // screen from 3 o'clock.
        api.drawArc(state_->graphics, pen, static_cast<gp::REAL>(placement_.left + (centre.x - radius) * s),
                    static_cast<gp::REAL>(placement_.top + (centre.y - radius) * s), static_cast<gp::REAL>(2 * radius * s),
                    static_cast<gp::REAL>(2 * radius * s), static_cast<gp::REAL>(start),
                    static_cast<gp::REAL>(std::clamp(sweep, -360.0, 360.0)));
        api.deletePen(pen);
    }
}

void Canvas::Text(Point at, std::string_view utf8, double size, bool bold, explain::Align align, Ink ink) {
    if (utf8.empty() || ink == Ink::kNone || size <= 0) {
        return;
    }
    const Api& api = state_->api;
    gp::GpFont* font = state_->Font(face_, size * placement_.scale, bold);
    gp::GpStringFormat* format = state_->Format(align);
    gp::GpSolidFill* brush = nullptr;
    if (!font || !format || api.createFill(Argb(ink, print_), &brush) != gp::Ok) {
        return;
    }
    // A box far wider and higher than any text, whose edge or middle is
    // the anchor: the format aligns the line to it and centres it on `at`.
    constexpr double kRoom = 10000;
    const double x = placement_.left + at.x * placement_.scale;
    const double y = placement_.top + at.y * placement_.scale;
    const double left = align == explain::Align::kLeft    ? x
                        : align == explain::Align::kRight ? x - 2 * kRoom
                                                          : x - kRoom;
    const gp::RectF box(static_cast<gp::REAL>(left), static_cast<gp::REAL>(y - kRoom), static_cast<gp::REAL>(2 * kRoom),
                        static_cast<gp::REAL>(2 * kRoom));
    const std::wstring text = WideFromUtf8(utf8);
    api.drawString(state_->graphics, text.c_str(), static_cast<INT>(text.size()), font, &box, format, brush);
    api.deleteBrush(brush);
}

void Canvas::Draw(const explain::Figure& figure, const explain::Shape& shape) {
    using explain::ShapeKind;
    const bool pointsFit = shape.first <= figure.points.size() && shape.count <= figure.points.size() - shape.first;
    switch (shape.kind) {
        case ShapeKind::kCircle:
            Circle(shape.at, shape.radius, shape.stroke, shape.fill, shape.width);
            break;
        case ShapeKind::kLine:
            Line(shape.at, shape.to, shape.stroke, shape.width);
            break;
        case ShapeKind::kPolygon:
            if (pointsFit) {
                Polygon(figure.points.data() + shape.first, shape.count, shape.stroke, shape.fill, shape.width);
            }
            break;
        case ShapeKind::kPolyline:
            if (pointsFit) {
                Polyline(figure.points.data() + shape.first, shape.count, shape.stroke, shape.width);
            }
            break;
        case ShapeKind::kArc:
            Arc(shape.at, shape.radius, shape.start, shape.sweep, shape.stroke, shape.width);
            break;
        case ShapeKind::kText:
            Text(shape.at, shape.text, shape.size, shape.bold, shape.align, shape.stroke);
            break;
    }
}

void DrawFigure(Canvas& canvas, const explain::Document& document, const explain::Figure& figure,
                std::size_t selected) {
    for (const explain::Shape& shape : figure.shapes) {
        if (explain::Shown(shape, selected)) {
            canvas.Draw(figure, shape);
        }
    }
    if (selected != explain::kNoStep) {
        for (const explain::Shape& shape : explain::Selection(figure, document, selected)) {
            canvas.Draw(figure, shape);
        }
    }
}

}  // namespace zelvane::win32
