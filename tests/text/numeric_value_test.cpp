#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <limits>
#include <sstream>

#include "text/numeric_value.h"
#include "tests/support/param_name.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct ValueCase {
    std::string text;
    double value;
};

class NumericValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(NumericValueTest, ReadsTheLongestLeadingNumber)
{
    EXPECT_DOUBLE_EQ(NumericValue(GetParam().text), GetParam().value) << "text: '" << GetParam().text << "'";
}

INSTANTIATE_TEST_SUITE_P(Texts, NumericValueTest,
    ::testing::Values(
        ValueCase{"3", 3}, ValueCase{"3abc", 3}, ValueCase{"x", 0}, ValueCase{"", 0}, ValueCase{"-2", -2},
        ValueCase{"+7", 7}, ValueCase{"1e12", 1e12}, ValueCase{"1E3", 1000}, ValueCase{"2d2", 200},
        ValueCase{"2D-1", 0.2}, ValueCase{"1.5e+2", 150}, ValueCase{".5", 0.5}, ValueCase{"5.", 5},
        ValueCase{"3.2", 3.2}, ValueCase{"-.25", -0.25}, ValueCase{".", 0}, ValueCase{"-", 0},
        ValueCase{"+", 0}, ValueCase{"1e", 1}, ValueCase{"1e+", 1}, ValueCase{"1e-x", 1},
        ValueCase{"4ex", 4}, ValueCase{"1.2.3", 1.2}, ValueCase{"--3", 0}, ValueCase{"e5", 0},
        ValueCase{".e5", 0}, ValueCase{"1 2", 12}, ValueCase{" 3 ", 3}, ValueCase{"\t4\n2", 42},
        ValueCase{"- 5", -5}, ValueCase{"\r5", 0}, ValueCase{"&H1F", 31}, ValueCase{"&h1f", 31},
        ValueCase{"&HfFz", 255}, ValueCase{"& H 10", 16}, ValueCase{"&O17", 15}, ValueCase{"&o18", 1},
        ValueCase{"&H", 0}, ValueCase{"&", 0}, ValueCase{"&X1", 0}, ValueCase{"-&H1", 0},
        ValueCase{"&HFFFFFFFF", 4294967295.0}, ValueCase{"0003", 3}, ValueCase{"1e-999", 0},
        ValueCase{"0.000000000000000000001e21", 1}, ValueCase{"0e99999", 0},
        ValueCase{"123456789012345678901234567890", 1.2345678901234568e29},
        // Too large for a double: infinity, never a wrapped or clamped value.
        ValueCase{"1e999", kInf}, ValueCase{"-1e999", -kInf}, ValueCase{"1e99999999999999999999999", kInf},
        ValueCase{"&H" + std::string(300, 'F'), kInf}, ValueCase{std::string(400, '9'), kInf}),
    [](const ::testing::TestParamInfo<ValueCase>& info) { return ParamName(info.index, info.param.text); });

struct RoundCase {
    double value;
    std::optional<std::int32_t> port;
};

class RoundToPortTest : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundToPortTest, RoundsHalvesToEven)
{
    EXPECT_EQ(RoundToPort(GetParam().value), GetParam().port) << "value: " << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Values, RoundToPortTest,
    ::testing::Values(
        RoundCase{3, 3}, RoundCase{2.5, 2}, RoundCase{3.5, 4}, RoundCase{-2.5, -2}, RoundCase{-3.5, -4},
        RoundCase{0.5, 0}, RoundCase{1.5, 2}, RoundCase{2.4999, 2}, RoundCase{2.5001, 3},
        RoundCase{-0.4, 0}, RoundCase{3.2, 3}, RoundCase{2147483647.0, 2147483647},
        RoundCase{2147483647.4, 2147483647}, RoundCase{2147483647.5, std::nullopt},
        RoundCase{-2147483648.0, -2147483647 - 1}, RoundCase{-2147483648.5, -2147483647 - 1},
        RoundCase{-2147483649.0, std::nullopt}, RoundCase{1e12, std::nullopt}, RoundCase{kInf, std::nullopt},
        RoundCase{-kInf, std::nullopt}, RoundCase{std::nan(""), std::nullopt}),
    [](const ::testing::TestParamInfo<RoundCase>& info) {
        std::ostringstream value;
        value << std::setprecision(12) << info.param.value;
        return ParamName(info.index, value.str());
    });

}  // namespace
