#include "exhibitview.h"

namespace exhibitview {

std::filesystem::path PicturePath(const std::filesystem::path& folder, const QString& exhibitPath) {
    QString rel = exhibitPath;
    rel.replace(u'\\', u'/');
    // The path is joined to the folder, never taken as a path of its own.
    while (rel.startsWith(u'/')) rel.remove(0, 1);
    return folder / std::filesystem::path(rel.toStdString());
}

plat::FileRead ReadPicture(const std::filesystem::path& file) { return plat::ReadRegularFile(file, kLargestPicture); }

View Fit(int pictureWidth, int pictureHeight, const Design& d) {
    View v;
    v.hBar = pictureWidth > d.width;
    v.vBar = pictureHeight > d.height;
    // A bar shown in one direction narrows the room in the other.
    for (int pass = 0; pass < 2; ++pass) {
        if (v.hBar && !v.vBar) v.vBar = pictureHeight > d.height - d.bar;
        if (v.vBar && !v.hBar) v.hBar = pictureWidth > d.width - d.bar;
    }
    const int hThick = v.hBar ? d.bar : 0;
    const int vThick = v.vBar ? d.bar : 0;
    v.width = v.hBar ? d.width : pictureWidth + vThick;
    v.height = v.vBar ? d.height : pictureHeight + hThick;
    v.shown = Rect{0, 0, v.width - vThick, v.height - hThick};
    if (v.hBar) {
        v.hRect = Rect{0, v.height - d.bar, v.shown.width, d.bar};
        v.hMax = pictureWidth - v.shown.width;
    }
    if (v.vBar) {
        v.vRect = Rect{v.width - d.bar, 0, d.bar, v.shown.height};
        v.vMax = pictureHeight - v.shown.height;
    }
    return v;
}

}  // namespace exhibitview
