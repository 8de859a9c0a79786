#include "core/list_painter.h"

#include <algorithm>
#include <array>

#include "core/rounding.h"

namespace zelk {

namespace {

int Round(double v) {
    return static_cast<int>(RoundHalfEven(v));
}

uint32_t Argb(Colour c, int opacity, const SystemColourResolver& resolve) {
    return RGBtoARGB(c, opacity, resolve).value_or(0);
}

std::pair<std::wstring, std::wstring> SplitAtTab(const std::wstring& text) {
    const auto tab = text.find(L'\t');
    if (tab == std::wstring::npos) {
        return {text, {}};
    }
    return {text.substr(0, tab), text.substr(tab + 1)};
}

// Host coordinates far beyond any screen are held there, so the sums below cannot overflow.
int Far(long long v) {
    constexpr long long kFar = 1LL << 24;
    return static_cast<int>(std::clamp(v, -kFar, kFar));
}

} // namespace

Colour ThumbColour(Colour back, int state, const HighContrast& highContrast) {
    if (highContrast) {
        return state == 0 ? highContrast->windowText : highContrast->highlight;
    }
    const bool dark = IsDarkColor(back);
    switch (state) {
    case 2:
        return dark ? BlendColors(back, 0xFFFFFF, 180) : BlendColors(back, 0x000000, 220);
    case 1:
        return dark ? BlendColors(back, 0xFFFFFF, 150) : BlendColors(back, 0x000000, 180);
    default:
        return dark ? BlendColors(back, 0xFFFFFF, 200) : BlendColors(back, 0x000000, 200);
    }
}

ListPaintResult PaintList(ListPaintInput& in, Canvas& canvas) {
    const ListModel& model = *in.model;
    const ListProperties& p = *in.properties;
    const double s = in.scale;
    const ListColours colours = ChooseListColours(
        ResolveColour(p.BackColor, in.resolve), ResolveColour(p.SelectionColor, in.resolve),
        ResolveColour(p.FindTextColor, in.resolve), in.highContrast);
    const Colour back = colours.back;
    const Colour selection = colours.selection;
    const ListPalette& palette = colours.palette;
    // Under high contrast a row's own colours give way to the system's, and nothing is
    // dimmed by blending: a blend is a colour the user did not choose.
    const auto ownColour = [&](Colour c) { return colours.systemColours ? kDefaultColour : c; };
    const auto dim = [&](Colour c) {
        return colours.systemColours ? c : BlendColors(c, back, 120);
    };
    const int margin = Round(8 * s);
    const int glyph = Round(16 * s);

    canvas.Clear(back);
    const int textHeight = canvas.TextHeight();

    int xl = 0;
    int xr = in.width;
    if (in.scrollBarVisible) {
        xr = Round(in.scrollBarLeft - 2 * s);
    } else if (p.SelectionRadius > 0) {
        xl = margin;
        xr = in.width - margin;
    }

    // The rows' horizontal extent; ItemCustomDraw may move it for the rows after.
    int rowLeft = 0;
    int rowRight = xr;
    int y = in.headerHeight - in.scrollValue;
    std::vector<PaintRect> painted(static_cast<size_t>(model.ListCount()));
    for (long i = 0; i < model.ListCount(); ++i) {
        const ListItem& item = model.Items()[static_cast<size_t>(i)];
        if (!item.Visible) {
            continue;
        }
        const int h = in.rowHeight;
        if (y + h <= 0) {
            y += item.IsSeparator ? Round(h / 2.0) : h;
            continue;
        }
        const int x0 = rowLeft;
        const int x1 = rowRight;
        const PaintRect row{x0, y, x1, y + h};
        const bool selected = i == model.ListIndex();
        const bool highlighted = selected || i == model.HotIndex();
        const Colour itemBack = ownColour(item.BackColor), itemText = ownColour(item.TextColor);
        const Colour itemSubText = ownColour(item.SubTextColor);
        if (highlighted) {
            Colour colour = palette.hover;
            if (in.pressed || selected) {
                colour = selection;
            } else if (itemBack != kDefaultColour) {
                const Colour own = ResolveColour(itemBack, in.resolve);
                colour = IsDarkColor(own) ? BlendColors(own, 0xFFFFFF, 150)
                                          : BlendColors(own, 0x000000, 200);
            }
            if (p.SelectionRadius == 0) {
                canvas.FillSolid(row, colour);
            } else {
                canvas.DrawRoundRect(x0 + Round(margin / 2.0), y, Round(x1 - x0 - margin / 2.0), h,
                                     Argb(colour, 100, in.resolve), 0,
                                     Round(p.SelectionRadius * s));
            }
        } else if (itemBack != kDefaultColour) {
            canvas.FillSolid(row, ResolveColour(itemBack, in.resolve));
        }

        if (item.IsSeparator) {
            const int lineY = Round(y + h / 4.0);
            canvas.DrawSolidLine(x0 + xl, lineY, x1, lineY, palette.line);
            painted[static_cast<size_t>(i)] = {x0, y, x1, y + Round(h / 2.0)};
            y += Round(h / 2.0);
            continue;
        }
        painted[static_cast<size_t>(i)] = row;

        const bool pressedHot = i == model.HotIndex() && in.pressed;
        Colour textColour = palette.contrast;
        if (itemText != kDefaultColour) {
            textColour = ResolveColour(itemText, in.resolve);
        } else if (item.Disabled) {
            textColour = palette.disabledText;
        } else if (pressedHot || selected || (colours.systemColours && highlighted)) {
            textColour = palette.selectionText;
        }
        const int glyphTop = Round(y + h / 2.0 - glyph / 2.0);
        const int glyphBottom = Round(y + h / 2.0 + glyph / 2.0);
        if (item.SubMenu != nullptr) {
            canvas.DrawGlyph(Glyph::SubMenuArrow, {x1 - glyph, glyphTop, x1, glyphBottom},
                             textColour);
        }
        const std::optional<Colour> tint =
            p.UseMonocromeIcons ? std::optional<Colour>(textColour) : std::nullopt;
        if (p.DrawSeparatorLine) {
            canvas.DrawSolidLine(x0, y + h, x1, y + h, palette.line);
        }
        const int imageTop = Round(y + h / 2.0 - in.imageHeight / 2.0);

        if (item.IsGroup) {
            int left = x0 + 2 * margin;
            if (item.Icon > -1 && in.imageCount > 0) {
                canvas.DrawImage(item.Icon + 1, left, imageTop, in.imageWidth, in.imageHeight, tint,
                                 item.Disabled);
                left += in.imageWidth + margin;
            }
            canvas.DrawText(item.Text, {left, y, x1, y + h}, kTextLeft, textColour, {true, 0});
        } else {
            int left = x0 + 2 * margin + (item.IsChild ? 2 * margin : 0);
            if (p.MultiSelect) {
                if (item.SubMenu == nullptr) {
                    const Colour checkColour =
                        item.Selected && !(pressedHot || selected) ? selection : textColour;
                    canvas.DrawGlyph(item.Selected ? Glyph::CheckOn : Glyph::CheckOff,
                                     {left, glyphTop, left + glyph, glyphBottom}, checkColour);
                }
                left += glyph + margin;
            }
            if (in.imageCount > 0) {
                if (item.Icon > -1) {
                    canvas.DrawImage(item.Icon + 1, left, imageTop, in.imageWidth, in.imageHeight,
                                     tint, item.Disabled);
                }
                left += in.imageWidth + margin;
            }
            PaintRect text{left, y, Round(x1 - margin - glyph / 2.0), y + h};
            const auto [mainText, rightText] = SplitAtTab(item.Text);
            if (p.SubTitleVisible && !item.SubText.empty()) {
                const auto [subMain, subRight] = SplitAtTab(item.SubText);
                text.bottom -= textHeight;
                canvas.DrawText(mainText, text, kTextLeft, textColour, {});
                if (!rightText.empty()) {
                    canvas.DrawText(rightText, text, kTextRight, textColour, {});
                }
                Colour subColour = textColour;
                if (itemSubText != kDefaultColour) {
                    subColour = ResolveColour(itemSubText, in.resolve);
                } else if (!selected) {
                    subColour = dim(textColour);
                }
                text.bottom += 2 * textHeight;
                if (!subRight.empty()) {
                    canvas.DrawText(subRight, text, kTextRight, subColour, {false, -1});
                }
                canvas.DrawText(subMain, text, kTextLeft, subColour, {false, -1});
            } else {
                const TextStyle style{item.Bold, 0};
                canvas.DrawText(mainText, text, kTextLeft, textColour, style);
                if (!rightText.empty()) {
                    const Colour dimmed = itemSubText != kDefaultColour
                                              ? ResolveColour(itemSubText, in.resolve)
                                              : dim(textColour);
                    canvas.DrawText(rightText, text, kTextRight, dimmed, style);
                }
                if (!in.filterText.empty() && !selected) {
                    // Folding may change lengths ("ß" is "ss"): draw the original characters.
                    if (const auto at = FoldedFind(model.Folding(), mainText, in.filterText)) {
                        const int before =
                            canvas.MeasureText(mainText.substr(0, at->position), style);
                        canvas.DrawText(mainText.substr(at->position, at->length),
                                        {text.left + before, text.top, text.right, text.bottom},
                                        kTextLeft, colours.findText, style);
                    }
                }
            }
        }
        if (selected && colours.systemColours) {
            // The keyboard's row must show without relying on colour alone.
            const int inset = std::max(1, Round(2 * s));
            const int l = x0 + inset + (p.SelectionRadius == 0 ? 0 : Round(margin / 2.0));
            const int r = x1 - inset, t = y + inset, b = y + h - 1 - inset;
            for (const auto& [xa, ya, xb, yb] :
                 {std::array{l, t, r, t}, {r, t, r, b}, {r, b, l, b}, {l, b, l, t}}) {
                canvas.DrawSolidLine(xa, ya, xb, yb, palette.selectionText);
            }
        }

        long index = i;
        int left = x0, top = y, width = x1 - x0, height = h;
        if (in.itemCustomDraw) {
            in.itemCustomDraw(index, left, top, width, height);
        }
        // What the host hands back counts for the rest of the paint. An Index further on says
        // it drew the rows up to that one itself; never backwards, so that every paint ends.
        if (index > i) {
            i = std::min(index, model.ListCount());
        }
        rowLeft = Far(left);
        rowRight = Far(static_cast<long long>(rowLeft) + std::max(width, 0));
        in.rowHeight = height;
        y = Far(static_cast<long long>(top) + height);
        if (in.height < y) {
            break;
        }
    }

    canvas.FillSolid({0, 0, in.width, in.headerHeight}, back);
    if (in.scrollValue > 0) {
        canvas.FillGradient(0, in.headerHeight, in.width, Round(margin / 2.0),
                            Argb(back, 100, in.resolve), Argb(back, 0, in.resolve));
    }
    canvas.FillSolid({0, Round(in.height - margin), in.width, in.height}, back);
    if (in.scrollValue < in.scrollMax) {
        canvas.FillGradient(0, Round(in.height - 1.5 * margin), in.width, Round(margin / 2.0),
                            Argb(back, 0, in.resolve), Argb(back, 100, in.resolve));
    }
    if (p.ShowFilter && in.filterShown) {
        const PaintRect& box = in.filterBox;
        const int w = box.right - box.left;
        const int ht = box.bottom - box.top;
        canvas.DrawRoundRect(box.left - margin, box.top - margin, w + 2 * margin + glyph,
                             ht + 2 * margin, Argb(back, 100, in.resolve),
                             Argb(selection, 100, in.resolve),
                             Round(Round(p.BorderRadius * s) / 2.0));
        canvas.DrawGlyph(Glyph::Search,
                         {box.right, box.top - margin, in.width, box.bottom + margin},
                         palette.contrast);
    }
    canvas.Present();
    return {palette.line, in.rowHeight, std::move(painted)};
}

} // namespace zelk
