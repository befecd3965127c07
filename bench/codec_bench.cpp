// GB18030 decoding and encoding: ours against glibc iconv on the same ~8 MB
// of mixed Chinese and ASCII text. Throughput is given in bytes of GB18030
// per second for both directions.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

#include "text/gb18030.h"

namespace {

// Lines of the kind the program works on: Chinese prose with ASCII words,
// numbers, half- and full-width punctuation and now and then an emoji.
std::u16string sampleText(std::size_t units) {
    static const std::u16string common =
        u"的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动同工也能"
        u"下过子说产种面而方后"
        u"多定行学法所民得经十三之进着等部度家电力里如水化高自二理起小物现实加量都两体制机当使点从"
        u"业本去把性好应开它合还"
        u"因由其些然前外天政四日那社义事平形相全表间样与关各重新线内数正心反你明看原又么利比或但质"
        u"气第向道命此变条只没结"
        u"解问意建月公无系军很情者最立代想已通并提直题党程展五果料象员革位入常文总次品式活设及管特"
        u"件长求老头基资边流路级"
        u"少图山统接知较将组见计别她手角期根论运农指几九区强放决西被干做必战先回则任取据处队南给色"
        u"光门即保治北造百规热领"
        u"七海口东导器压志世金增争济阶油思术极交受联什认六共权收证改清己美再采转更单风切打白教速花"
        u"带安场身车例真务具万每"
        u"目至达走积示议声报斗完类八离华名确才科张信马节话米整空元况今集温传土许步群广石记需段研界"
        u"拉林律叫且究观越织装影"
        u"算低持音众书布复容儿须际商非验连断深难近矿千周委素技备半办青省列习响约支般史感劳便团往酸"
        u"历市克何除消构府称太准"
        u"精值号率族维划选标写存候毛亲快效斯院查江型眼王按格养易置派层片始却专状育厂京识适属圆包火"
        u"住调满县局照参红细引听"
        u"该铁价严首底液官德随病苏失尔死讲配女黄推显谈罪神艺呢席含企望密批营项防举球英氧势告李台落"
        u"木帮轮破亚师围注远字材";
    static const char16_t* const words[] = {
        u"Hello",  u"world", u"regex", u"match", u"GB18030",  u"UTF-16", u"file",
        u"0x7FFF", u"\\d+",  u"(.*?)", u"[a-z]", u"C:\\temp", u"OK",     u"ID",
    };
    static const std::u16string halfWidth = u".,;:!?()[]{}<>-+=*/\"'";
    static const std::u16string fullWidth = u"，。：；！？“”（）、《》【】…—\u3000";
    std::uint32_t state = 20240601;
    auto next = [&state](std::uint32_t bound) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % bound;
    };
    std::u16string text;
    text.reserve(units + 256);
    while (text.size() < units) {
        std::uint32_t lineItems = 4 + next(12);
        for (std::uint32_t k = 0; k < lineItems; ++k) {
            switch (next(16)) {
                case 0:
                case 1:
                case 2:
                case 3:
                case 4:
                case 5:
                case 6:
                    for (std::uint32_t n = 2 + next(14); n > 0; --n) {
                        text += common[next(static_cast<std::uint32_t>(common.size()))];
                    }
                    break;
                case 7:
                case 8:
                    text += words[next(sizeof words / sizeof words[0])];
                    text += u' ';
                    break;
                case 9:
                case 10:
                    text += fullWidth[next(static_cast<std::uint32_t>(fullWidth.size()))];
                    break;
                case 11:
                    text += halfWidth[next(static_cast<std::uint32_t>(halfWidth.size()))];
                    break;
                case 12:
                case 13:
                    for (std::uint32_t n = 1 + next(8); n > 0; --n) {
                        text += static_cast<char16_t>(u'0' + next(10));
                    }
                    break;
                case 14:
                    text += u' ';
                    break;
                default:
                    if (next(8) == 0) {
                        text += u"\U0001F600";
                    } else {
                        text += u"，";
                    }
                    break;
            }
        }
        text += u"\r\n";
    }
    return text;
}

struct IconvCloser {
    void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using IconvHandle = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

IconvHandle openIconv(const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    return IconvHandle(cd == reinterpret_cast<iconv_t>(-1) ? nullptr : cd);
}

// One iconv call over the whole input into an output of `capacity` bytes,
// as a wrapper returning a string would do it. Empty on failure.
template <typename Out>
Out convertWithIconv(iconv_t cd, const void* data, std::size_t size, std::size_t capacity) {
    Out out(capacity / sizeof(typename Out::value_type), typename Out::value_type{});
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = static_cast<char*>(const_cast<void*>(data));
    std::size_t inLeft = size;
    char* dst = reinterpret_cast<char*>(out.data());
    std::size_t outLeft = out.size() * sizeof(typename Out::value_type);
    if (iconv(cd, &in, &inLeft, &dst, &outLeft) == static_cast<std::size_t>(-1)) {
        return {};
    }
    out.resize(out.size() - outLeft / sizeof(typename Out::value_type));
    return out;
}

struct Corpus {
    std::u16string text;
    std::string bytes;
};

const Corpus& corpus() {
    static const Corpus c = [] {
        Corpus c;
        c.text = sampleText(5'000'000);
        c.bytes = lcr::encodeGb18030(c.text);
        return c;
    }();
    return c;
}

void setThroughput(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(corpus().bytes.size()));
    state.counters["MB"] = static_cast<double>(corpus().bytes.size()) / 1e6;
}

void BM_DecodeOurs(benchmark::State& state) {
    const Corpus& c = corpus();
    if (lcr::decodeGb18030(c.bytes) != c.text) {
        state.SkipWithError("decoding does not give the text back");
        return;
    }
    for (auto _ : state) {
        std::u16string text = lcr::decodeGb18030(c.bytes);
        benchmark::DoNotOptimize(text.data());
    }
    setThroughput(state);
}

void BM_DecodeIconv(benchmark::State& state) {
    const Corpus& c = corpus();
    IconvHandle cd = openIconv("UTF-16LE", "GB18030");
    if (!cd || convertWithIconv<std::u16string>(cd.get(), c.bytes.data(), c.bytes.size(),
                                                2 * c.bytes.size()) != c.text) {
        state.SkipWithError("iconv does not give the text back");
        return;
    }
    for (auto _ : state) {
        std::u16string text = convertWithIconv<std::u16string>(cd.get(), c.bytes.data(),
                                                               c.bytes.size(), 2 * c.bytes.size());
        benchmark::DoNotOptimize(text.data());
    }
    setThroughput(state);
}

void BM_EncodeOurs(benchmark::State& state) {
    const Corpus& c = corpus();
    for (auto _ : state) {
        std::string bytes = lcr::encodeGb18030(c.text);
        benchmark::DoNotOptimize(bytes.data());
    }
    setThroughput(state);
}

void BM_EncodeIconv(benchmark::State& state) {
    const Corpus& c = corpus();
    IconvHandle cd = openIconv("GB18030", "UTF-16LE");
    // iconv is given the exact output size, which it cannot know in real use.
    auto convert = [&] {
        return convertWithIconv<std::string>(cd.get(), c.text.data(), 2 * c.text.size(),
                                             c.bytes.size());
    };
    if (!cd || convert() != c.bytes) {
        state.SkipWithError("iconv does not give the same bytes");
        return;
    }
    for (auto _ : state) {
        std::string bytes = convert();
        benchmark::DoNotOptimize(bytes.data());
    }
    setThroughput(state);
}

BENCHMARK(BM_DecodeOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeIconv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeIconv)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
