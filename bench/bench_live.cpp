// The live stations: cluster lines and datagrams read per second (target
// one million each), the spot layer painted with 2,000 spots at 600 pixels
// (target 5 ms), and the memory that 100,000 spots received leave behind
// (target 20 MiB over idle: the store is capped).
#include "dxlists/CtyDat.h"
#include "live/ClusterLine.h"
#include "live/Placement.h"
#include "live/SpotFeed.h"
#include "live/SpotStore.h"
#include "live/Wsjtx.h"
#include "viewer/SpotLayer.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const std::vector<std::string>& ClusterLines() {
    static const std::vector<std::string> lines = {
        "DX de G4XYZ:     14025.0  K1ABC        cq test                        1302Z\a\a\r\n",
        "DX de W3OA-#:    14029.0  VU2TMP       CW  8 dB 27 WPM CQ             1658Z",
        "DX de DL1ABC:    7074.0  JA1XYZ       FT8 -12 dB                     0815Z JO62",
        "DX de K3LR:   144174.0  EA8TL  JN18>FN42 ES   2359Z",
        "   14222.0  9L5M        04-Dec-2026 1655Z  TNX   <EB1DJ>",
        "WWV de W0MU <18Z> :   SFI=150, A=5, K=1, No Storms -> No Storms",
        "N0CALL de NODE  8-Dec-2026 1302Z dxspider >",
        "To ALL de G4XYZ: contest starts at 1200Z",
    };
    return lines;
}

void BM_ClusterLines(benchmark::State& state) {
    const auto& lines = ClusterLines();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(live::ReadClusterLine(lines[i]));
        if (++i == lines.size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ClusterLines);

void BM_Datagrams(benchmark::State& state) {
    const std::vector<std::vector<std::uint8_t>> datagrams = {
        live::WsjtxWriter::Decode("WSJT-X", "CQ K1ABC FN42", -12, 1200),
        live::WsjtxWriter::Decode("WSJT-X", "K1ABC G4XYZ IO91", -3, 800),
        live::WsjtxWriter::Status("WSJT-X", 14074000, "FT8"),
        live::WsjtxWriter::Heartbeat("WSJT-X"),
        live::WsjtxWriter::WsprDecode("WSJT-X", "G4XYZ", "IO91", 14097050, -25),
    };
    std::size_t i = 0;
    live::WsjtxMessage m;
    for (auto _ : state) {
        const auto& d = datagrams[i];
        benchmark::DoNotOptimize(live::ReadWsjtx(d.data(), d.size(), m));
        if (++i == datagrams.size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Datagrams);

// Datagram to placed spot: read, turn into a spot, place by its locator.
void BM_DecodeToPlacedSpot(benchmark::State& state) {
    const auto d = live::WsjtxWriter::Decode("WSJT-X", "CQ K1ABC FN42", -12, 1200);
    live::WsjtxSpotter spotter;
    live::Placer placer;
    placer.SetCentre(48.85, 2.35);
    live::WsjtxMessage m;
    for (auto _ : state) {
        live::ReadWsjtx(d.data(), d.size(), m);
        auto s = spotter.Take(m, 0);
        placer.Place(*s);
        benchmark::DoNotOptimize(s);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecodeToPlacedSpot);

// 2,000 spots over the world with calls of their own, painted at 600 px.
void BM_SpotLayer2000(benchmark::State& state) {
    live::SpotStore store;
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> lat(-80, 80), lon(-180, 180), f(0, 1);
    const char* bands[] = {"160m", "80m", "40m", "20m", "15m", "10m", "6m"};
    live::Placer placer;
    placer.SetCentre(48.85, 2.35);
    for (int i = 0; i < 2000; ++i) {
        live::Spot s;
        s.call = std::to_string(i);
        s.call.insert(s.call.begin(), 'K');
        s.call += "XY";
        s.band = bands[i % 7];
        s.source = i % 3 ? live::SpotSource::Cluster : live::SpotSource::Ft8;
        s.positionSource = live::PositionSource::Locator;
        s.lat = lat(rng);
        s.lon = lon(rng);
        s.receivedMs = i * 900;
        placer.Measure(s);
        store.Add(s);
    }
    viewer::SpotLayer layer;
    layer.SetStore(&store);
    layer.SetNow(2000 * 900);
    layer.SetBeam(45.0, 60);
    layer.SetLabels(state.range(0) != 0);
    const geo::MapFrame frame(48.85L, 2.35L, 600);
    QImage image(600, 600, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter p(&image);
        layer.Paint(p, frame);
    }
    state.counters["labels"] = layer.labelsDrawn();
}
BENCHMARK(BM_SpotLayer2000)->Unit(benchmark::kMillisecond)->Arg(1);
BENCHMARK(BM_SpotLayer2000)
    ->Unit(benchmark::kMillisecond)
    ->Arg(0)
    ->Name("BM_SpotLayer2000_NoLabels");

double RssMiB() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// 100,000 cluster spots, each a call of its own, read, placed (country file
// of the tests) and stored: the memory left over idle.
void BM_HundredThousandSpots(benchmark::State& state) {
    dx::CtyError error;
    const auto db = dx::CtyDatabase::Load(KORVANTA_SOURCE_DIR "/tests/data/cty_excerpt.dat", error);
    live::Placer placer(db ? &*db : nullptr);
    placer.SetCentre(48.85, 2.35);
    double growth = 0;
    for (auto _ : state) {
        const double idle = RssMiB();
        {
            live::SpotStore store;
            for (int i = 0; i < 100000; ++i) {
                std::string line = "DX de G4XYZ:  14025.0  K";
                line += std::to_string(i);
                line += "AB  cq test comment with some length to it  1302Z";
                const live::ClusterLine r = live::ReadClusterLine(line);
                live::Spot s = live::SpotFromCluster(r.spot, i);
                placer.Place(s);
                store.Add(std::move(s));
            }
            growth = RssMiB() - idle;
            benchmark::DoNotOptimize(store.size());
        }
    }
    state.counters["rss_growth_MiB"] = growth;
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_HundredThousandSpots)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // fonts for the labels
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
