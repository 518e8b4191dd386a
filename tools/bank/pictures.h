// The pictures the program shows: exhibits drawn from small text descriptions
// under data/exhibits/, and the two review marks written as GIF files.
// Drawing needs a QGuiApplication (the offscreen platform will do).
#pragma once

#include "bank.h"

#include <QImage>

#include <filesystem>
#include <string>
#include <vector>

namespace bank {

// Draws an exhibit description. On failure returns a null image and says why in
// `error` ("line 4: unknown device kind \"rooter\"").
//
// The description, one statement a line ('#' starts a comment line):
//   device NAME KIND X Y [label="..."]   router, switch, l3switch, pc, laptop, server,
//                                        cloud, ap, wlc, firewall, hub; centred at X,Y
//   link A B [from="..."] [to="..."] [mid="..."] [style=solid|dashed|serial|bundle]
//   area X Y W H "label"                 a dashed frame behind the devices
//   note X Y "text" [bold] [size=N]      a line of text, its top-left at X,Y
//   text X Y [size=N]                    monospaced lines until "end" (command output)
//   table X Y [size=N]                   rows until "end", cells split by '|', the
//                                        first row is the header
//   canvas W H                           the least size of the picture
// The picture is as large as what is drawn, plus a margin. "\n" in a quoted
// text breaks the line.
QImage RenderExhibit(const std::string& description, std::string& error);
QImage RenderExhibitFile(const std::filesystem::path& source, std::string& error);

// A small GIF encoder (Qt reads GIF but does not write it): palette images of up
// to 256 colours, fully transparent pixels becoming the transparent colour.
std::vector<unsigned char> EncodeGif(const QImage& image);

// The review list's marks: a green tick (answered) and a red cross (not answered).
QImage DrawTick();
QImage DrawCross();

// Writes every exhibit the tables name (drawn from exhibitSources) and the two
// marks into the program folder; files already holding the same bytes are left
// alone. Returns the problems met (empty = all written).
std::vector<Breach> WriteProgramPictures(const Tables& t, const std::filesystem::path& exhibitSources,
                                         const std::filesystem::path& programDir);

// Every picture the program will load from its folder exists and loads: each
// question's ExhibitPath, "correct.gif" and "incorrect.gif".
std::vector<Breach> LintProgramFolder(const Tables& t, const std::filesystem::path& programDir);

// The linter's exhibit check: draws the description and reports what went
// wrong, a text printed over another text or an icon included; empty when the
// picture is sound.
std::string ExhibitLayoutProblem(const std::string& description);
std::string ExhibitDrawProblem(const std::filesystem::path& source);

}  // namespace bank
