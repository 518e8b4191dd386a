// The exhibit viewer's geometry, free of widgets: where an exhibit picture is
// read from, how a picture file is read, and how the viewport and its two
// scroll bars fit a picture of a given size. Lengths in twips.
#pragma once

#include "platform/safefile.h"

#include <QString>

#include <filesystem>

namespace exhibitview {

// The picture an ExhibitPath names: relative to the program folder, with "\"
// read as a separator as well as "/".
std::filesystem::path PicturePath(const std::filesystem::path& folder, const QString& exhibitPath);

// The largest picture file the program reads: its own pictures are a few
// dozen kilobytes.
constexpr qint64 kLargestPicture = qint64(8) << 20;

// Reads a picture file (an exhibit, a mark of the review list) as result files
// are read: only a plain file of at most kLargestPicture bytes, opened without
// waiting, so a pipe in its place cannot hold the window up.
plat::FileRead ReadPicture(const std::filesystem::path& file);

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
};

// The viewport as designed, and the thickness of a scroll bar.
struct Design {
    int width = 7575;
    int height = 4455;
    int bar = 255;
};

constexpr int kStep = 100;  // one click on a bar's arrow or beside its thumb

struct View {
    int width = 0, height = 0;  // the viewport
    Rect shown;                 // where the picture shows: the viewport less its bars
    bool hBar = false, vBar = false;
    Rect hRect, vRect;          // the bars, on the viewport's bottom and right edges
    int hMax = 0, vMax = 0;     // how far each bar moves the picture
};

// A picture larger than the viewport in a direction gets that direction's bar
// (one bar takes room from the other direction, which may then need its own);
// in a direction without a bar the viewport shrinks to the picture plus the
// other bar, so no part of the picture ever lies under a bar out of reach.
// Each bar's range is exactly the part of the picture that does not show, so
// its maximum brings the picture's far edge to the edge of the shown part.
View Fit(int pictureWidth, int pictureHeight, const Design& d = {});

}  // namespace exhibitview
