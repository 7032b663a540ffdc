// The message a second launch sends the running instance over its socket: whatever bytes come,
// they are either a list of arguments or refused, and a list taken is sent again as one line
// that reads back the same.
#include "FuzzFiles.h"
#include "housekeeping/SingleInstance.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > size_t(SingleInstance::kMaxMessageBytes))
        return 0; // the instance cuts off a longer line before reading it
    const QByteArray line = fuzzBytes(data, size);
    const std::optional<QStringList> arguments = SingleInstance::argumentsOf(line);
    if (!arguments)
        return 0;
    const QByteArray message = SingleInstance::message(*arguments);
    FUZZ_CHECK(message.endsWith('\n'));
    FUZZ_CHECK(message.indexOf('\n') == message.size() - 1);
    const std::optional<QStringList> again = SingleInstance::argumentsOf(message.chopped(1));
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(again->size() == arguments->size());
    // Text that is not whole UTF-16 cannot go over the wire as it was; what went once goes the
    // same way again.
    const std::optional<QStringList> third =
        SingleInstance::argumentsOf(SingleInstance::message(*again).chopped(1));
    FUZZ_CHECK(third == again);
    return 0;
}
