// prismview-batch's command line: the input cut into arguments at zero bytes
// and new lines. A command line that parses holds only values in range, and
// they go through one pass on a small picture.
#include <QCoreApplication>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "effects/mode_table.h"
#include "tools/batch_arguments.h"

using namespace prismview;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    static int argc = 1;
    static char name[] = "prismview-batch";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* const app = new QCoreApplication(argc, argv);
    (void)app;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QStringList arguments{QStringLiteral("prismview-batch")};
    for (const std::string& part : fuzz::SplitInput(std::string_view(reinterpret_cast<const char*>(data), size)))
        arguments << QString::fromUtf8(part.data(), static_cast<qsizetype>(part.size()));
    const BatchArguments parsed = ParseBatchArguments(arguments);
    FUZZ_EXPECT(parsed.status == 0 || parsed.status == 2);
    FUZZ_EXPECT(parsed.error.empty() == (parsed.status == 0));
    if (parsed.status != 0 || parsed.help) return 0;

    const ProcessingParams& params = parsed.params;
    for (const ParameterInfo& parameter : kParameterTable) {
        if (!parameter.range) continue;
        const std::int32_t value = params.*parameter.fields[0].member;
        FUZZ_EXPECT(value >= parameter.range->lo && value <= parameter.range->hi);
    }
    FUZZ_EXPECT(FindMode(params.effectMode) != nullptr);
    FUZZ_EXPECT(params.backgroundColor <= 0xFFFFFFu);
    FUZZ_EXPECT(parsed.slots[0] || parsed.slots[1] || parsed.slots[2] || parsed.slots[3]);
    const std::string_view extension = parsed.extension;
    FUZZ_EXPECT(extension == "bmp" || extension == "png" || extension == "jpg" || extension == "webp" ||
                extension == "tif");
    fuzz::RunPass(fuzz::SmallPicture(7, 5), params);
    return 0;
}
