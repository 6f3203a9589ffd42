// wobblerama-sim --rib: the recorded frames, byte for byte and as a RIB reader sees them.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ParamDecl.h"
#include "RibWriter.h"

using namespace rib;

namespace {

std::string slurp(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string tempPath(const char *name)
{
    return std::string(::testing::TempDir()) + "recording_" + std::to_string(getpid()) + "_" + name;
}

struct SimRun {
    int status = -1;
    std::string out, err;
};

// Runs the simulator through the shell (so that '|command' targets are tested as users give them).
SimRun simulate(const std::string &arguments)
{
    const std::string out = tempPath("stdout"), err = tempPath("stderr");
    const std::string command = std::string("'") + WOBBLERAMA_SIM_PATH + "' " + arguments + " >'" +
                                out + "' 2>'" + err + "' </dev/null";
    const int status = std::system(command.c_str());
    SimRun run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = slurp(out);
    run.err = slurp(err);
    std::remove(out.c_str());
    std::remove(err.c_str());
    return run;
}

const char *kGolden = WOBBLERAMA_TEST_DATA "/golden/recording_two_frames.rib";

// ---- A small reader of ASCII RIB: requests made of words, quoted texts and [arrays] ----

struct Value {
    enum Kind { Word, Text, Array } kind;
    std::string text;                 // Word, Text
    std::vector<std::string> items;   // Array: numbers or texts as written
};

struct Request {
    std::string keyword;
    std::vector<Value> values;
};

std::vector<Request> readRequests(const std::string &rib)
{
    std::vector<Request> requests;
    size_t at = 0;
    auto readText = [&]() {
        std::string text;
        for (++at; at < rib.size() && rib[at] != '"'; ++at) {
            if (rib[at] == '\\' && at + 1 < rib.size()) ++at;
            text += rib[at];
        }
        ++at;
        return text;
    };
    while (at < rib.size()) {
        char c = rib[at];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++at;
        } else if (c == '#') {
            while (at < rib.size() && rib[at] != '\n') ++at;
        } else if (c == '"') {
            requests.back().values.push_back({Value::Text, readText(), {}});
        } else if (c == '[') {
            Value array{Value::Array, "", {}};
            for (++at; at < rib.size() && rib[at] != ']';) {
                if (std::isspace(static_cast<unsigned char>(rib[at]))) {
                    ++at;
                } else if (rib[at] == '"') {
                    array.items.push_back(readText());
                } else {
                    size_t end = rib.find_first_of(" \n]", at);
                    array.items.push_back(rib.substr(at, end - at));
                    at = end;
                }
            }
            ++at;
            requests.back().values.push_back(array);
        } else {
            size_t end = rib.find_first_of(" \n[\"", at);
            std::string word = rib.substr(at, end - at);
            at = end;
            if (std::isalpha(static_cast<unsigned char>(word[0])))
                requests.push_back({word, {}});
            else
                requests.back().values.push_back({Value::Word, word, {}});
        }
    }
    return requests;
}

// The parameter list is the run of "token" [values] pairs that ends a request.
size_t parameterStart(const Request &request)
{
    size_t start = request.values.size();
    while (start >= 2 && request.values[start - 1].kind == Value::Array &&
           request.values[start - 2].kind == Value::Text)
        start -= 2;
    return start;
}

}  // namespace

TEST(RibRecording, TwoFramesMatchTheGoldenFileByteForByte)
{
    const std::string rib = tempPath("two.rib");
    const SimRun run = simulate("--steps 2 --every 1 --rib '" + rib + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(slurp(rib), slurp(kGolden));
    std::remove(rib.c_str());
}

TEST(RibRecording, EveryParameterIsDeclaredAndCarriesTheValuesItsPrimitiveNeeds)
{
    delete new RibWriter("/dev/null");  // the library's declarations, as a RIB reader would have them
    const std::string path = tempPath("parse.rib");
    const SimRun run = simulate("--steps 300 --every 100 --push 50:2 --rib '" + path + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<Request> requests = readRequests(slurp(path));
    std::remove(path.c_str());

    int frames = 0, primitives = 0;
    for (const Request &request : requests) {
        frames += request.keyword == "FrameBegin";
        if (request.keyword != "Curves" && request.keyword != "Polygon")
            continue;
        ++primitives;
        const size_t params = parameterStart(request);
        // Vertex count: the sum of the curves' vertex counts, or the polygon's points.
        long vertices = 0;
        if (request.keyword == "Curves") {
            ASSERT_EQ(request.values[0].text, "linear");
            ASSERT_EQ(request.values[2].text, "nonperiodic");
            for (const std::string &count : request.values[1].items)
                vertices += std::stol(count);
        } else {
            ASSERT_EQ(request.values[params].text, "P");
            vertices = static_cast<long>(request.values[params + 1].items.size()) / 3;
        }
        for (size_t i = params; i < request.values.size(); i += 2) {
            const std::string &token = request.values[i].text;
            const ParamDecl *decl = lookupParam(token.c_str());
            ASSERT_NE(decl, nullptr) << token << " is not declared";
            const long elements = decl->paramClass == kClassConstant ? 1 : vertices;
            EXPECT_EQ(static_cast<long>(request.values[i + 1].items.size()),
                      elements * decl->arraySize * paramTypeInfo(decl->type).components)
                << request.keyword << " " << token;
        }
    }
    EXPECT_EQ(frames, 3);
    EXPECT_EQ(primitives, 3 * 5);  // two walls, the floor, the red lines, the springs
}

TEST(RibRecording, StandardOutputCarriesOnlyTheRib)
{
    const SimRun run = simulate("--steps 2 --every 1 --rib -");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, slurp(kGolden));
    EXPECT_NE(run.err.find("blorp has been created\n"), std::string::npos);
    EXPECT_EQ(run.err.find("step,i,j,k"), std::string::npos);
}

TEST(RibRecording, PipeTargetRunsTheCommandAndBinaryEncodesFloats)
{
    const std::string piped = tempPath("piped.rib");
    SimRun run = simulate("--steps 2 --every 1 --rib '|cat > " + piped + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(slurp(piped), slurp(kGolden));
    std::remove(piped.c_str());

    const std::string binary = tempPath("binary.rib");
    run = simulate("--steps 2 --every 1 --rib '" + binary + "' --rib-binary");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string bytes = slurp(binary);
    std::remove(binary.c_str());
    // The springs' 245 x 2 points: "P" then a float array of 1470 values (0xC9 0x05 0xBE).
    EXPECT_NE(bytes.find(std::string("\"P\" \xC9\x05\xBE", 7)), std::string::npos);
    EXPECT_NE(bytes.find("FrameBegin 2\n"), std::string::npos);
    EXPECT_EQ(bytes.find("[0 0.8 0]"), std::string::npos);
}
