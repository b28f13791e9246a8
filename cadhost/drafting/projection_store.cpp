#include "cadhost/drafting/projection_store.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <tuple>
#include <utility>

#include <BinTools.hxx>

namespace cadhost::drafting {

namespace {

// Two FNV-1a hashes with different starting points: 128 bits, so that two different shapes never share a key in
// practice.
std::string digest_of(const std::string& bytes) {
    std::uint64_t a = 1469598103934665603ull, b = 0x84222325cbf29ce4ull;
    for (unsigned char c : bytes) {
        a = (a ^ c) * 1099511628211ull;
        b = (b ^ c) * 0x100000001b3ull;
        b ^= b >> 29;
    }
    char text[33];
    std::snprintf(text, sizeof text, "%016llx%016llx", static_cast<unsigned long long>(a),
                  static_cast<unsigned long long>(b));
    return text;
}

// Serialising a large body costs milliseconds, and the same bodies are asked for sheet after sheet.
class DigestCache {
  public:
    std::string digest(const TopoDS_Shape& shape) {
        Key key{shape.TShape().get(), shape.Location().HashCode(INT_MAX), shape.Orientation()};
        {
            std::lock_guard<std::mutex> lock(mutex_);
            auto it = digests_.find(key);
            if (it != digests_.end() && it->second.first.IsEqual(shape)) return it->second.second;
        }
        std::ostringstream stream;
        BinTools::Write(shape, stream, Standard_False, Standard_False, BinTools_FormatVersion_CURRENT);
        std::string d = digest_of(stream.str());
        std::lock_guard<std::mutex> lock(mutex_);
        digests_[key] = {shape, d};  // the shape is held so that its address cannot be taken by another
        return d;
    }

  private:
    using Key = std::tuple<const void*, int, int>;
    std::mutex mutex_;
    std::map<Key, std::pair<TopoDS_Shape, std::string>> digests_;
};

// Coordinates are kept on a 10 nm grid (see hlr_projection.cpp) and written as differences from the previous one,
// zigzag varints: most take two or three bytes.
// The third version added ellipses and splines; bytes of an earlier one are not read, so a projection kept before is
// computed again with its curves.
constexpr double kGrid = 1e5;
constexpr double kRatioGrid = 1e12;
constexpr char kMagic[4] = {'Q', 'P', 'E', '3'};

// What exact curve a line follows, in the bytes.
enum CurveKind : std::uint64_t { kPolylineOnly = 0, kCircle = 1, kEllipse = 2, kSpline = 3 };
constexpr std::uint64_t kMostSplineDegree = 25;

void put_varint(std::string& out, std::uint64_t v) {
    while (v >= 0x80) {
        out.push_back(static_cast<char>((v & 0x7f) | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<char>(v));
}

void put_signed(std::string& out, std::int64_t v) {
    put_varint(out, (static_cast<std::uint64_t>(v) << 1) ^ static_cast<std::uint64_t>(v >> 63));
}

class Reader {
  public:
    explicit Reader(const std::string& bytes) : bytes_(bytes) {}
    bool varint(std::uint64_t& v) {
        v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (at_ >= bytes_.size()) return false;
            const auto c = static_cast<unsigned char>(bytes_[at_++]);
            v |= static_cast<std::uint64_t>(c & 0x7f) << shift;
            if (!(c & 0x80)) return true;
        }
        return false;
    }
    bool signed_value(std::int64_t& v) {
        std::uint64_t u;
        if (!varint(u)) return false;
        v = static_cast<std::int64_t>(u >> 1) ^ -static_cast<std::int64_t>(u & 1);
        return true;
    }
    bool done() const { return at_ == bytes_.size(); }
    std::size_t left() const { return bytes_.size() - at_; }
    bool magic() {
        if (bytes_.size() < 4 || bytes_.compare(0, 4, kMagic, 4) != 0) return false;
        at_ = 4;
        return true;
    }

  private:
    const std::string& bytes_;
    std::size_t at_ = 0;
};

void put_point(std::string& out, const Point2d& p) {
    put_signed(out, std::llround(p.x * kGrid)), put_signed(out, std::llround(p.y * kGrid));
}

// Knots and weights are kept bit for bit: they are not lengths, and no grid suits them.
void put_exact(std::string& out, double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    put_varint(out, bits);
}

void put_spline(std::string& out, const Spline2d& spline) {
    put_varint(out, static_cast<std::uint64_t>(spline.degree));
    put_varint(out, spline.poles.size());
    for (const auto& p : spline.poles) put_point(out, p);
    for (double k : spline.knots) put_exact(out, k);
    put_varint(out, spline.weights.size());
    for (double w : spline.weights) put_exact(out, w);
}

// A line: the kind of its curve and the curve's shape, its point count and points (as differences).
void put_lines(std::string& out, const std::vector<ProjectedLine>& lines) {
    put_varint(out, lines.size());
    std::int64_t px = 0, py = 0;
    for (const auto& line : lines) {
        if (line.radius > 0) {
            put_varint(out, kCircle);
            put_signed(out, std::llround(line.radius * kGrid));
            put_point(out, line.centre);
        } else if (line.is_ellipse()) {
            put_varint(out, kEllipse);
            put_point(out, line.centre), put_point(out, line.major);
            put_signed(out, std::llround(line.ratio * kRatioGrid));
        } else if (line.spline) {
            put_varint(out, kSpline);
            put_spline(out, *line.spline);
        } else {
            put_varint(out, kPolylineOnly);
        }
        put_varint(out, line.points.size());
        for (const auto& p : line.points) {
            const auto x = std::llround(p.x * kGrid), y = std::llround(p.y * kGrid);
            put_signed(out, x - px), put_signed(out, y - py);
            px = x, py = y;
        }
    }
}

bool get_point(Reader& in, Point2d& p) {
    std::int64_t x, y;
    if (!in.signed_value(x) || !in.signed_value(y)) return false;
    p = {static_cast<double>(x) / kGrid, static_cast<double>(y) / kGrid};
    return true;
}

bool get_exact(Reader& in, double& v) {
    std::uint64_t bits;
    if (!in.varint(bits)) return false;
    std::memcpy(&v, &bits, sizeof v);
    return std::isfinite(v);
}

// A spline whose counts, knots or weights could not make a curve is refused, not handed to a writer.
bool get_spline(Reader& in, Spline2d& spline) {
    std::uint64_t degree, poles;
    if (!in.varint(degree) || degree < 1 || degree > kMostSplineDegree) return false;
    if (!in.varint(poles) || poles < degree + 1 || poles > in.left() / 2) return false;
    spline.degree = static_cast<int>(degree);
    spline.poles.resize(poles);
    for (auto& p : spline.poles)
        if (!get_point(in, p)) return false;
    spline.knots.resize(poles + degree + 1);
    for (std::size_t i = 0; i < spline.knots.size(); ++i)
        if (!get_exact(in, spline.knots[i]) || (i > 0 && spline.knots[i] < spline.knots[i - 1])) return false;
    if (!(spline.knots.back() > spline.knots.front())) return false;
    std::uint64_t weights;
    if (!in.varint(weights) || (weights != 0 && weights != poles)) return false;
    spline.weights.resize(weights);
    for (double& w : spline.weights)
        if (!get_exact(in, w) || !(w > 0.0)) return false;
    return true;
}

bool get_curve(Reader& in, ProjectedLine& line) {
    std::uint64_t kind;
    if (!in.varint(kind)) return false;
    switch (kind) {
        case kPolylineOnly:
            return true;
        case kCircle: {
            std::int64_t radius;
            if (!in.signed_value(radius) || radius <= 0) return false;
            line.radius = static_cast<double>(radius) / kGrid;
            return get_point(in, line.centre);
        }
        case kEllipse: {
            std::int64_t ratio;
            if (!get_point(in, line.centre) || !get_point(in, line.major) || !in.signed_value(ratio)) return false;
            line.ratio = static_cast<double>(ratio) / kRatioGrid;
            return line.ratio > 0.0 && line.ratio <= 1.0 && (line.major.x != 0.0 || line.major.y != 0.0);
        }
        case kSpline: {
            auto spline = std::make_shared<Spline2d>();
            if (!get_spline(in, *spline)) return false;
            line.spline = std::move(spline);
            return true;
        }
        default:
            return false;
    }
}

bool get_lines(Reader& in, std::vector<ProjectedLine>& lines) {
    std::uint64_t count;
    if (!in.varint(count) || count > in.left()) return false;
    std::int64_t px = 0, py = 0;
    lines.resize(count);
    for (auto& line : lines) {
        if (!get_curve(in, line)) return false;
        std::uint64_t points;
        if (!in.varint(points) || points > in.left() / 2) return false;  // every point takes two bytes at least
        line.points.resize(points);
        for (auto& p : line.points) {
            std::int64_t dx, dy;
            if (!in.signed_value(dx) || !in.signed_value(dy)) return false;
            px += dx, py += dy;
            p = {static_cast<double>(px) / kGrid, static_cast<double>(py) / kGrid};
        }
    }
    return true;
}

}  // namespace

std::string shape_digest(const TopoDS_Shape& shape) {
    static DigestCache cache;
    return cache.digest(shape);
}

// The bytes end with the digest of what comes before them (32 hex digits), so that damaged bytes are never drawn.
constexpr std::size_t kCheck = 32;

std::string encode_edges(const ProjectedEdges& edges) {
    std::string out(kMagic, 4);
    for (int c = 0; c < 3; ++c) put_lines(out, edges.visible[c]), put_lines(out, edges.hidden[c]);
    return out + digest_of(out);
}

bool decode_edges(const std::string& stored, ProjectedEdges& edges) {
    if (stored.size() < kCheck ||
        digest_of(stored.substr(0, stored.size() - kCheck)) != stored.substr(stored.size() - kCheck))
        return false;
    const std::string bytes = stored.substr(0, stored.size() - kCheck);
    Reader in(bytes);
    if (!in.magic()) return false;
    for (int c = 0; c < 3; ++c)
        if (!get_lines(in, edges.visible[c]) || !get_lines(in, edges.hidden[c])) return false;
    return in.done();
}

ProjectionStore& ProjectionStore::shared() {
    static ProjectionStore store;
    return store;
}

std::shared_ptr<const ProjectedEdges> ProjectionStore::get(const std::string& key,
                                                           const std::function<ProjectedEdges()>& compute) {
    std::unique_lock<std::mutex> lock(mutex_);
    used_.insert(key);
    Entry* entry = &entries_[key];
    done_.wait(lock, [&] { return !entry->busy; });
    const bool again = std::exchange(entry->asked_before, true);
    if (auto live = entry->edges.lock()) {
        if (again) keep_recent(live);
        return live;
    }
    if (entry->held) return entry->held;
    // The entry is this thread's until it is no longer busy: no other changes its bytes meanwhile.
    entry->busy = true;
    const std::shared_ptr<const KeptSource> source = entry->in_source ? source_ : nullptr;
    lock.unlock();
    std::shared_ptr<const ProjectedEdges> edges;
    std::string computed_bytes;
    bool computed = false, held = false;
    try {
        auto decoded = std::make_shared<ProjectedEdges>();
        std::string read;
        const std::string& bytes =
            entry->bytes.empty() && source && *source && (*source)(key, read) ? read : entry->bytes;
        if (!bytes.empty() && decode_edges(bytes, *decoded)) {
            edges = std::move(decoded);
        } else {
            // Drawn as it will be kept, on the part file's grid: the export that computes a projection and the next,
            // which finds it kept, then draw the same sheets to the last digit.
            auto made = std::make_shared<ProjectedEdges>(compute());
            computed_bytes = encode_edges(*made);
            auto kept_form = std::make_shared<ProjectedEdges>();
            held = !decode_edges(computed_bytes, *kept_form);
            edges = held ? std::move(made) : std::move(kept_form);
            computed = true;
        }
    } catch (...) {
        lock.lock();
        entry->busy = false;
        done_.notify_all();
        throw;
    }
    lock.lock();
    entry->busy = false;
    entry->edges = edges;
    if (again) keep_recent(edges);
    if (computed) {
        entry->bytes = std::move(computed_bytes);
        entry->computed_here = true;
        if (held) entry->held = edges;
        ++computed_;
    }
    done_.notify_all();
    return edges;
}

bool ProjectionStore::holds(const std::string& key) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = entries_.find(key);
    if (it == entries_.end()) return false;
    const Entry& entry = it->second;
    const bool found = !entry.bytes.empty() || entry.in_source || entry.held || !entry.edges.expired();
    if (found) used_.insert(key);
    return found;
}

void ProjectionStore::keep_recent(const std::shared_ptr<const ProjectedEdges>& edges) {
    // A handful: the directions a mould's core is seen from on its sheets, and the views drawn meanwhile.
    constexpr std::size_t kRecent = 12;
    const auto found = std::find(recent_.begin(), recent_.end(), edges);
    if (found != recent_.end()) recent_.erase(found);
    recent_.push_front(edges);
    if (recent_.size() > kRecent) recent_.pop_back();
}

void ProjectionStore::set_kept_source(KeptSource source) {
    std::lock_guard<std::mutex> lock(mutex_);
    source_ = source ? std::make_shared<const KeptSource>(std::move(source)) : nullptr;
}

void ProjectionStore::add_kept_key(const std::string& key) {
    std::lock_guard<std::mutex> lock(mutex_);
    Entry& entry = entries_[key];
    if (entry.busy || entry.computed_here || !entry.edges.expired()) return;
    entry.in_source = true;
}

void ProjectionStore::add_kept(const std::string& key, std::string bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    Entry& entry = entries_[key];
    if (entry.busy || entry.computed_here || !entry.edges.expired()) return;
    entry.bytes = std::move(bytes);
}

std::vector<std::pair<std::string, std::string>> ProjectionStore::computed_since_clear() const {
    std::vector<std::pair<std::string, std::string>> out;
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& [key, entry] : entries_)
        if (entry.computed_here && !entry.bytes.empty()) out.emplace_back(key, entry.bytes);
    return out;
}

std::set<std::string> ProjectionStore::used_since_clear() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return used_;
}

void ProjectionStore::clear() {
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [&] {
        for (const auto& [key, entry] : entries_)
            if (entry.busy) return false;
        return true;
    });
    entries_.clear();
    used_.clear();
    recent_.clear();
    source_.reset();
}

long ProjectionStore::computed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return computed_;
}

}  // namespace cadhost::drafting
