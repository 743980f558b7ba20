// Benchmarks of the drawing layer: appending entities, looking symbols up,
// the memory a million lines take, and writing and reading DXF.
//
// The DXF benchmarks use the drawing the ezdxf comparison uses (100,000
// lines, 10,000 texts, 1,000 circles with extended data); compare_ezdxf.py
// runs them beside ezdxf and prints the ratios. DWGSDK_BENCH_FILE names the
// file ReadDxf reads (else it writes one first); DWGSDK_BENCH_KEEP keeps the
// file WriteDxf writes.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "dwgsdk.h"
#include "winsim/text.h"

namespace {

double residentMegabytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double peakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

OdDbObjectId modelSpaceId(OdDbDatabase& db) {
  OdDbBlockTable* blocks = nullptr;
  db.getBlockTable(blocks, OdDb::kForRead);
  OdDbObjectId id = blocks->getAt(u"*Model_Space");
  blocks->close();
  return id;
}

/// Appends as the modules' AppendEntity does: block table and block opened
/// for each entity, the entity appended and everything closed.
void appendLine(OdDbDatabase& db, const OdGePoint3d& a, const OdGePoint3d& b) {
  OdDbBlockTable* blocks = nullptr;
  db.getBlockTable(blocks, OdDb::kForRead);
  OdDbBlockTableRecord* model = nullptr;
  blocks->getAt(u"*Model_Space", model, OdDb::kForWrite);
  blocks->close();
  auto* line = new OdDbLine(a, b);
  OdDbObjectId id;
  model->appendOdDbEntity(id, line);
  line->close();
  model->close();
}

void BM_AppendLinesOpenAppendClose(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    auto db = std::make_unique<OdDbDatabase>();
    state.ResumeTiming();
    for (int i = 0; i < n; ++i) appendLine(*db, OdGePoint3d(i, 0, 0), OdGePoint3d(i, 1, 0));
    state.PauseTiming();
    db.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_AppendLinesOpenAppendClose)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_AppendLinesIntoOpenBlock(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    auto db = std::make_unique<OdDbDatabase>();
    OdDbBlockTableRecord* model = nullptr;
    oddbOpenObject(model, modelSpaceId(*db), OdDb::kForWrite);
    state.ResumeTiming();
    for (int i = 0; i < n; ++i) {
      auto* line = new OdDbLine(OdGePoint3d(i, 0, 0), OdGePoint3d(i, 1, 0));
      model->appendOdDbEntity(line);
      line->close();
    }
    state.PauseTiming();
    model->close();
    db.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_AppendLinesIntoOpenBlock)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_LayerLookup(benchmark::State& state) {
  const int layers = static_cast<int>(state.range(0));
  OdDbDatabase db;
  OdDbLayerTable* table = nullptr;
  db.getLayerTable(table, OdDb::kForWrite);
  std::vector<OdString> names;
  for (int i = 0; i < layers; ++i) {
    names.emplace_back(winsim::fromUtf8("Layer-" + std::to_string(i)));
    auto* r = new OdDbLayerTableRecord();
    r->setName(names.back());
    table->add(r);
    r->close();
  }
  // The names asked for, in a random order, each its own copy made in turn:
  // the caller's strings cost the same to fetch for both sizes, so what
  // differs is the table's own work.
  std::mt19937 random(7);
  std::vector<OdString> queries;
  queries.reserve(4096);
  for (int q = 0; q < 4096; ++q) queries.push_back(names[random() % static_cast<unsigned>(layers)]);
  std::size_t i = 0;
  for (auto _ : state) {
    OdDbObjectId id;
    benchmark::DoNotOptimize(table->getAt(queries[i++ & 4095], id));
  }
  table->close();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LayerLookup)->Arg(10)->Arg(100000);

void BM_MemoryOfAMillionLines(benchmark::State& state) {
  for (auto _ : state) {
    double before = residentMegabytes();
    auto db = std::make_unique<OdDbDatabase>();
    OdDbBlockTableRecord* model = nullptr;
    oddbOpenObject(model, modelSpaceId(*db), OdDb::kForWrite);
    for (int i = 0; i < 1000000; ++i) {
      auto* line = new OdDbLine(OdGePoint3d(i, 0, 0), OdGePoint3d(i, 1, 0));
      model->appendOdDbEntity(line);
      line->close();
    }
    model->close();
    state.counters["database_MB"] = residentMegabytes() - before;
    state.counters["peak_MB"] = peakMegabytes();
    db.reset();
  }
}
BENCHMARK(BM_MemoryOfAMillionLines)->Iterations(1)->Unit(benchmark::kMillisecond);

/// The comparison drawing: 100,000 lines, 10,000 texts, 1,000 circles with xdata.
std::unique_ptr<OdDbDatabase> comparisonDrawing() {
  auto db = std::make_unique<OdDbDatabase>();
  OdDbRegAppTable* apps = nullptr;
  db->getRegAppTable(apps, OdDb::kForWrite);
  auto* app = new OdDbRegAppTableRecord();
  app->setName(u"BENCH");
  apps->add(app);
  app->close();
  apps->close();
  OdDbBlockTableRecord* model = nullptr;
  oddbOpenObject(model, modelSpaceId(*db), OdDb::kForWrite);
  for (int i = 0; i < 100000; ++i) {
    auto* line = new OdDbLine(OdGePoint3d(i * 0.25, i % 100, 0), OdGePoint3d(i * 0.25 + 1.5, i % 100 + 2.5, 0));
    model->appendOdDbEntity(line);
    line->close();
  }
  for (int i = 0; i < 10000; ++i) {
    auto* text = new OdDbText(OdGePoint3d(i, -10, 0), OdString(winsim::fromUtf8("Text " + std::to_string(i))));
    text->setHeight(2.5);
    model->appendOdDbEntity(text);
    text->close();
  }
  for (int i = 0; i < 1000; ++i) {
    auto* circle = new OdDbCircle(OdGePoint3d(i * 3.0, -20, 0), OdGeVector3d::kZAxis, 1.25);
    model->appendOdDbEntity(circle);
    resbuf* xd = odutBuildList(1001, u"BENCH", 1000, u"circle", 1070, i % 1000, 1040, i * 0.5, 0);
    circle->setXData(xd);
    odutRelRb(xd);
    circle->close();
  }
  model->close();
  return db;
}

std::string benchFile() {
  if (const char* given = std::getenv("DWGSDK_BENCH_FILE")) return given;
  return (std::filesystem::temp_directory_path() / ("dwgsdk-bench-" + std::to_string(getpid()) + ".dxf")).string();
}

void BM_WriteDxf(benchmark::State& state) {
  auto db = comparisonDrawing();
  std::string path = benchFile();
  OdString odPath(winsim::fromUtf8(path));
  for (auto _ : state) {
    if (db->writeFile(odPath) != eOk) state.SkipWithError("write failed");
  }
  auto size = static_cast<double>(std::filesystem::file_size(path));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
  state.counters["file_MB"] = size / (1024.0 * 1024.0);
  if (!std::getenv("DWGSDK_BENCH_KEEP")) std::filesystem::remove(path);
}
BENCHMARK(BM_WriteDxf)->Unit(benchmark::kMillisecond);

void BM_ReadDxf(benchmark::State& state) {
  std::string path = benchFile();
  bool made = false;
  if (!std::filesystem::exists(path)) {
    comparisonDrawing()->writeFile(OdString(winsim::fromUtf8(path)));
    made = true;
  }
  OdString odPath(winsim::fromUtf8(path));
  auto size = static_cast<double>(std::filesystem::file_size(path));
  double before = residentMegabytes();
  double used = 0;
  for (auto _ : state) {
    OdDbDatabase db(false);
    if (db.readFile(odPath) != eOk) state.SkipWithError("read failed");
    used = std::max(used, residentMegabytes() - before);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
  state.counters["file_MB"] = size / (1024.0 * 1024.0);
  state.counters["database_MB"] = used;
  state.counters["peak_MB"] = peakMegabytes();
  if (made) std::filesystem::remove(path);
}
BENCHMARK(BM_ReadDxf)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
