#include <benchmark/benchmark.h>

#include <QByteArray>

#include "comm/Frames.h"

using namespace voltaris;

namespace {

QByteArray frameOf(qsizetype size) {
    QByteArray frame(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        frame[i] = char((i * 37 + 11) & 0xFF);
    return frame;
}

// Bytes per second through the CRC, from a request to a long block.
void BM_Crc16(benchmark::State& state) {
    const QByteArray frame = frameOf(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(Crc16(frame));
    state.SetBytesProcessed(qint64(state.iterations()) * frame.size());
}
BENCHMARK(BM_Crc16)->Arg(8)->Arg(29)->Arg(256)->Arg(4096);

// What every exchange costs on our side: build a request, check a 29-byte reply.
void BM_RequestAndVerify(benchmark::State& state) {
    QByteArray reply = frameOf(27);
    reply = AppendCRC(reply);
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildReadRequest(1, kRegLiveValues, 12));
        benchmark::DoNotOptimize(VerifyFrameCRC(reply));
    }
}
BENCHMARK(BM_RequestAndVerify);

}  // namespace
