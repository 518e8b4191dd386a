// GIF89a writing, the review marks, and putting the pictures into the program folder.
#include "pictures.h"

#include <QBuffer>
#include <QPainter>

#include <fstream>
#include <map>
#include <sstream>

namespace bank {

namespace {

// Packs variable-width LZW codes into bytes, least significant bit first.
class BitWriter {
public:
    void put(unsigned code, int bits) {
        acc_ |= static_cast<unsigned long>(code) << count_;
        count_ += bits;
        while (count_ >= 8) {
            bytes.push_back(static_cast<unsigned char>(acc_ & 0xff));
            acc_ >>= 8;
            count_ -= 8;
        }
    }
    void flush() {
        if (count_ > 0) bytes.push_back(static_cast<unsigned char>(acc_ & 0xff));
        acc_ = 0;
        count_ = 0;
    }
    std::vector<unsigned char> bytes;

private:
    unsigned long acc_ = 0;
    int count_ = 0;
};

std::vector<unsigned char> lzw(const std::vector<unsigned char>& pixels, int minCodeSize) {
    const unsigned clear = 1u << minCodeSize, end = clear + 1;
    BitWriter out;
    int codeSize = minCodeSize + 1;
    unsigned next = end + 1;
    std::map<std::pair<unsigned, unsigned char>, unsigned> table;
    out.put(clear, codeSize);
    if (pixels.empty()) {
        out.put(end, codeSize);
        out.flush();
        return out.bytes;
    }
    unsigned cur = pixels[0];
    for (size_t i = 1; i < pixels.size(); ++i) {
        unsigned char px = pixels[i];
        auto it = table.find({cur, px});
        if (it != table.end()) {
            cur = it->second;
            continue;
        }
        out.put(cur, codeSize);
        if (next < 4096) {
            table[{cur, px}] = next++;
            // The decoder widens its codes once the table reaches the current width.
            if (next > (1u << codeSize) && codeSize < 12) ++codeSize;
        } else {
            out.put(clear, codeSize);
            table.clear();
            codeSize = minCodeSize + 1;
            next = end + 1;
        }
        cur = px;
    }
    out.put(cur, codeSize);
    out.put(end, codeSize);
    out.flush();
    return out.bytes;
}

void word(std::vector<unsigned char>& v, int x) {
    v.push_back(static_cast<unsigned char>(x & 0xff));
    v.push_back(static_cast<unsigned char>((x >> 8) & 0xff));
}

QImage mark(bool tick) {
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    // Hard edges: a GIF pixel is either drawn or transparent.
    p.setRenderHint(QPainter::Antialiasing, false);
    QColor color = tick ? QColor(0x1e, 0x8c, 0x3a) : QColor(0xc8, 0x1e, 0x1e);
    p.setPen(QPen(color, 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    if (tick) {
        QPolygon v;
        v << QPoint(2, 8) << QPoint(6, 12) << QPoint(13, 3);
        p.drawPolyline(v);
    } else {
        p.drawLine(3, 3, 12, 12);
        p.drawLine(12, 3, 3, 12);
    }
    return img;
}

bool sameBytes(const std::filesystem::path& file, const std::vector<unsigned char>& bytes) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    std::vector<unsigned char> old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return old == bytes;
}

bool writeBytes(const std::filesystem::path& file, const std::vector<unsigned char>& bytes) {
    if (sameBytes(file, bytes)) return true;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::vector<unsigned char> pngBytes(const QImage& img) {
    QByteArray data;
    {
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        img.save(&buffer, "PNG");
    }
    return std::vector<unsigned char>(data.begin(), data.end());
}

}  // namespace

std::vector<unsigned char> EncodeGif(const QImage& source) {
    QImage img = source.convertToFormat(QImage::Format_ARGB32);
    // Palette: index 0 is the transparent colour, then the colours in first-seen order.
    std::vector<QRgb> palette{qRgb(255, 255, 255)};
    std::map<QRgb, unsigned char> index;
    bool transparent = false;
    std::vector<unsigned char> pixels;
    pixels.reserve(static_cast<size_t>(img.width()) * img.height());
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            QRgb c = img.pixel(x, y);
            if (qAlpha(c) < 128) {
                transparent = true;
                pixels.push_back(0);
                continue;
            }
            c = qRgb(qRed(c), qGreen(c), qBlue(c));
            auto it = index.find(c);
            if (it == index.end()) {
                if (palette.size() >= 256) throw std::runtime_error("EncodeGif: more than 255 colours");
                it = index.emplace(c, static_cast<unsigned char>(palette.size())).first;
                palette.push_back(c);
            }
            pixels.push_back(it->second);
        }
    int bits = 1;
    while ((1u << bits) < palette.size()) ++bits;
    palette.resize(1u << bits, qRgb(0, 0, 0));
    int minCodeSize = std::max(2, bits);

    std::vector<unsigned char> g = {'G', 'I', 'F', '8', '9', 'a'};
    word(g, img.width());
    word(g, img.height());
    g.push_back(static_cast<unsigned char>(0x80 | ((bits - 1) << 4) | (bits - 1)));  // global table
    g.push_back(0);  // background colour
    g.push_back(0);  // aspect ratio
    for (QRgb c : palette) {
        g.push_back(static_cast<unsigned char>(qRed(c)));
        g.push_back(static_cast<unsigned char>(qGreen(c)));
        g.push_back(static_cast<unsigned char>(qBlue(c)));
    }
    // Graphic control extension: transparency of index 0.
    g.insert(g.end(), {0x21, 0xf9, 0x04, static_cast<unsigned char>(transparent ? 1 : 0), 0, 0, 0, 0});
    g.push_back(0x2c);
    word(g, 0);
    word(g, 0);
    word(g, img.width());
    word(g, img.height());
    g.push_back(0);  // no local table, not interlaced
    g.push_back(static_cast<unsigned char>(minCodeSize));
    auto data = lzw(pixels, minCodeSize);
    for (size_t i = 0; i < data.size(); i += 255) {
        size_t n = std::min<size_t>(255, data.size() - i);
        g.push_back(static_cast<unsigned char>(n));
        g.insert(g.end(), data.begin() + static_cast<long>(i), data.begin() + static_cast<long>(i + n));
    }
    g.push_back(0);
    g.push_back(0x3b);
    return g;
}

QImage DrawTick() { return mark(true); }
QImage DrawCross() { return mark(false); }

std::vector<Breach> WriteProgramPictures(const Tables& t, const std::filesystem::path& exhibitSources,
                                         const std::filesystem::path& programDir) {
    namespace fs = std::filesystem;
    std::vector<Breach> problems;
    std::error_code ec;
    fs::create_directories(programDir / "exhibits", ec);
    std::map<std::string, bool> done;
    for (const auto& q : t.questions) {
        std::string name = ExhibitNameOf(q.exhibitPath);
        if (name.empty() || done.count(name)) continue;
        done[name] = true;
        std::string error;
        QImage img = RenderExhibitFile(exhibitSources / (name + ".txt"), error);
        if (img.isNull()) {
            problems.push_back(Breach{q.at, q.qid, "exhibit", "exhibit " + name + " does not draw: " + error});
            continue;
        }
        if (!writeBytes(programDir / q.exhibitPath, pngBytes(img)))
            problems.push_back(Breach{q.at, q.qid, "exhibit", "cannot write " + (programDir / q.exhibitPath).string()});
    }
    for (auto [file, tick] : {std::pair{"correct.gif", true}, std::pair{"incorrect.gif", false}})
        if (!writeBytes(programDir / file, EncodeGif(tick ? DrawTick() : DrawCross())))
            problems.push_back(Breach{Origin{(programDir / file).string(), 0}, 0, "picture", "cannot write the file"});
    return problems;
}

std::vector<Breach> LintProgramFolder(const Tables& t, const std::filesystem::path& programDir) {
    std::vector<Breach> problems;
    auto check = [&](const std::string& rel, const Origin& at, int qid) {
        auto file = programDir / rel;
        std::error_code ec;
        if (!std::filesystem::is_regular_file(file, ec))
            problems.push_back(Breach{at, qid, "picture", file.string() + " does not exist"});
        else if (QImage(QString::fromStdString(file.string())).isNull())
            problems.push_back(Breach{at, qid, "picture", file.string() + " does not load as a picture"});
    };
    std::map<std::string, bool> seen;
    for (const auto& q : t.questions)
        if (q.exhibitPath != "NA" && !seen[q.exhibitPath]) {
            seen[q.exhibitPath] = true;
            check(q.exhibitPath, q.at, q.qid);
        }
    check("correct.gif", Origin{"correct.gif", 0}, 0);
    check("incorrect.gif", Origin{"incorrect.gif", 0}, 0);
    return problems;
}

}  // namespace bank
