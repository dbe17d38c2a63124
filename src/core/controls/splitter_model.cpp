#include "core/controls/splitter_model.h"

#include "core/base/rounding.h"

namespace cw {
namespace {

int share(int extent, int percent)
{
    return static_cast<int>(roundHalfEven(static_cast<double>(extent) * percent / 100.0));
}

} // namespace

SplitterModel::Panes SplitterModel::layout(const Rect& s) const
{
    Panes p;
    p.first.left = s.left;
    p.first.top = s.top;
    if (sideBySide()) {
        p.first.height = s.height;
        p.first.width = share(s.width, m_percent);
        p.second.top = s.top;
        p.second.height = s.height;
        p.second.left = p.first.left + p.first.width + splitterBarPixels;
        p.second.width = s.left + s.width - p.second.left;
    } else {
        p.first.width = s.width;
        p.first.height = share(s.height, m_percent);
        p.second.left = s.left;
        p.second.width = s.width;
        p.second.top = p.first.top + p.first.height + splitterBarPixels;
        p.second.height = s.top + s.height - p.second.top;
    }
    return p;
}

void SplitterModel::resetBounds()
{
    m_min = 5;
    m_max = 98;
}

void SplitterModel::setMinTilePercent(int percent)
{
    if (percent > 5 && percent < 98 && percent < m_max) m_min = percent;
}

void SplitterModel::setMaxTilePercent(int percent)
{
    if (percent > 5 && percent < 98 && percent > m_min) m_max = percent;
}

void SplitterModel::press(int c, int firstExtent)
{
    if (onBar(c, firstExtent)) m_dragging = true;
}

bool SplitterModel::drag(int c, int total)
{
    if (!m_dragging || total <= 0) return false;
    const int percent = static_cast<int>(roundHalfEven(100.0 / total * c));
    if (percent <= m_min || percent >= m_max || percent == m_percent) return false;
    m_percent = percent;
    return true;
}

} // namespace cw
