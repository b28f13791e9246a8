// The two readers of config.def on the lexical edge cases, with the messages the user sees.
#include <gtest/gtest.h>

#include "command_start/conf_dir.h"
#include "cadhost/session/session.h"
#include "host/uf.h"
#include "my_func/config_reader.h"
#include "my_func1/elec_defaults.h"

namespace {

class ConfigReaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ui().set_terminal(nullptr);
        ui().clear();
    }
    static cadhost::UiChannels& ui() { return cadhost::Session::instance().ui(); }
    static std::vector<std::string> messages() { return ui().messages(); }
    testing_support::ConfDir conf{"reader"};
};

const char* kDefaults =
    "elec_rough_space:,0.25,EOF\nelec_finish_space:,0.1,EOF\nelec_rough_number:,2,EOF\n"
    "elec_finish_number:,3,EOF\n";

TEST_F(ConfigReaderTest, ReadsValuesGluedSeparatedAndOnCrlfLines) {
    conf.write_config("a_x:12.5,EOF\r\nb_y: ,, -3e1\r\nEOF\r\nc_z:,7\r\n");
    double value = 0;
    ASSERT_EQ(read_config_number("a_x:", &value), 1);
    EXPECT_DOUBLE_EQ(value, 12.5) << "a value glued to its key";
    ASSERT_EQ(read_config_number("b_y:", &value), 1);
    EXPECT_DOUBLE_EQ(value, -30.0) << "runs of separators are skipped, the carriage return rides on the value";
    ASSERT_EQ(read_config_number("c_z:", &value), 1);
    EXPECT_DOUBLE_EQ(value, 7.0);
    EXPECT_TRUE(messages().empty());
}

TEST_F(ConfigReaderTest, CarriageReturnSeparatesLikeALineFeed) {
    // Key, value and end marker each on a CRLF line: the value is the number, not the carriage return before it.
    conf.write_config(
        "a_x:\r\n12.5\r\nEOF\r\nelec_rough_space:\r\n0.25\r\nEOF\r\nelec_finish_space:\r\n0.1\r\nEOF\r\n"
        "elec_rough_number:\r\n2\r\nEOF\r\nelec_finish_number:\r\n3\r\nEOF\r\n");
    double value = 0;
    ASSERT_EQ(read_config_number("a_x:", &value), 1);
    EXPECT_DOUBLE_EQ(value, 12.5);
    elec_defaults defaults;
    ASSERT_EQ(read_elec_defaults(&defaults), 1);
    EXPECT_STREQ(defaults.elec_rough_space, "0.25");
    EXPECT_STREQ(defaults.elec_finish_number, "3");
    EXPECT_TRUE(messages().empty());
}

TEST_F(ConfigReaderTest, FindsKeysOnlyAtTheStartOfATokenAndIsCaseSensitive) {
    conf.write_config("t_elec_note_point_x:,1,EOF\nNOTE_POINT_X:,2,EOF\nnote_point_x:,3,EOF\n");
    double value = 0;
    ASSERT_EQ(read_config_number("note_point_x:", &value), 1);
    EXPECT_DOUBLE_EQ(value, 3.0);
}

TEST_F(ConfigReaderTest, KeyFollowedByEndMarkerKeepsTheCallersValue) {
    conf.write_config("a_x:,EOF,5\nb_y:,EOFX,6,\n");
    double value = 42.0;
    ASSERT_EQ(read_config_number("a_x:", &value), 1);
    EXPECT_DOUBLE_EQ(value, 42.0);
    ASSERT_EQ(read_config_number("b_y:", &value), 1);
    EXPECT_DOUBLE_EQ(value, 42.0) << "a token that reaches EOF ends the entry";
    EXPECT_TRUE(messages().empty());
}

TEST_F(ConfigReaderTest, RefusesMissingKeyMissingEndAndMissingFileWithTheirMessages) {
    conf.write_config("a_x:,1,EOF\nlast_x:,5");
    double value = 9.0;
    EXPECT_EQ(read_config_number("nothere_x:", &value), 0);
    EXPECT_EQ(read_config_number("last_x:", &value), 0) << "a final value with no separator after it is not taken";
    EXPECT_DOUBLE_EQ(value, 9.0);
    std::filesystem::remove(conf.path() + "/config.def");
    EXPECT_EQ(read_config_number("a_x:", &value), 0);
    EXPECT_EQ(messages(),
              (std::vector<std::string>{
                  "在config.def 文件中找不到nothere_x:标题,请查看标题nothere_x:是否正确!",
                  "在config.def 文件中找不到结续标题 EOF,请查看标题last_x:是否有结续标题 EOF,且要有逗号相隔!",
                  "找不到 D:\\tarn_conf\\config.def 文件,请重新安装!"}));
}

TEST_F(ConfigReaderTest, OverlongTokensAreCutAndNeverMatchAKey) {
    // A key preceded by 80 letters in the same token: the token is emptied after 79 and the 80th byte dropped, so the
    // key's text starts a fresh token only if it begins right after the dropped byte.
    const std::string filler(79, 'q');
    conf.write_config(filler + "Za_x:,1,EOF\n" + filler + "a_x:,2,EOF\nb_y:," + std::string(100, '7') + ",EOF\n");
    double value = 0;
    ASSERT_EQ(read_config_number("a_x:", &value), 1);
    EXPECT_DOUBLE_EQ(value, 1.0) << "the byte that overran the token is dropped, the key after it is found";
    ASSERT_EQ(read_config_number("b_y:", &value), 1);
    EXPECT_DOUBLE_EQ(value, std::stod(std::string(79, '7'))) << "an overlong value is its first 79 characters";
}

TEST_F(ConfigReaderTest, DefaultsAreReadAsTextAndAnEmptyEntryLeavesTheFieldEmpty) {
    conf.write_config(
        "elec_rough_space:-0.3,EOF\nelec_finish_space:,EOF\nelec_rough_number: 2 EOF\n"
        "elec_finish_number:,abc,EOF\n");
    elec_defaults d;
    std::memset(&d, 'x', sizeof d);
    ASSERT_EQ(read_elec_defaults(&d), 1);
    EXPECT_STREQ(d.elec_rough_space, "-0.3");
    EXPECT_STREQ(d.elec_finish_space, "");
    EXPECT_STREQ(d.elec_rough_number, "2");
    EXPECT_STREQ(d.elec_finish_number, "abc");
}

TEST_F(ConfigReaderTest, DefaultsStopAtTheFirstMissingKeyOrEndMarkerWithItsWords) {
    conf.write_config("elec_rough_space:,0.2,EOF\nelec_finish_space:,0.1,EOF\n");
    elec_defaults d;
    EXPECT_EQ(read_elec_defaults(&d), 0);
    EXPECT_STREQ(d.elec_finish_space, "0.1") << "fields read before the failure keep their values";
    conf.write_config(
        "elec_rough_space:,0.2,EOF\nelec_finish_space:,0.1,EOF\nelec_rough_number:,1,EOF\n"
        "elec_finish_number:,1");
    EXPECT_EQ(read_elec_defaults(&d), 0);
    std::filesystem::remove(conf.path() + "/config.def");
    EXPECT_EQ(read_elec_defaults(&d), 0);
    EXPECT_EQ(messages(),
              (std::vector<std::string>{
                  "在config.def 文件中找不到电极粗公的默认数量标题,请查看标题 elec_rough_number: 是否正确!",
                  "读数据错误!找不到电极精公的默认数量结束标题 EOF ,请查看 elec_finish_number: 是否有结续标题 EOF,"
                  "且要有逗号相隔!",
                  "找不到 D:\\tarn_conf\\config.def 文件,请重新安装!"}));
}

TEST_F(ConfigReaderTest, LongDefaultsAreCutAtACharacterBoundaryInsideTheField) {
    // 12 three-byte characters: 36 bytes, more than the 29 a field keeps.
    std::string chinese;
    for (int i = 0; i < 12; ++i) chinese += "火";
    conf.write_config(std::string("elec_rough_space:,") + chinese + ",EOF\nelec_finish_space:," + std::string(60, '9') +
                      ",EOF\nelec_rough_number:,1,EOF\nelec_finish_number:,1,EOF\n");
    elec_defaults d;
    ASSERT_EQ(read_elec_defaults(&d), 1);
    EXPECT_EQ(std::string(d.elec_rough_space), chinese.substr(0, 27)) << "nine whole characters";
    EXPECT_EQ(std::string(d.elec_finish_space), std::string(29, '9'));
    EXPECT_STREQ(d.elec_rough_number, "1") << "the neighbouring field is untouched";
}

TEST_F(ConfigReaderTest, TheFixedDirectoryMapsToTheConfigurationDirectory) {
    char path[512];
    ASSERT_EQ(map_config_path("D:\\tarn_conf\\sub\\my_edm_A4_a.prt", path, sizeof path), 1);
    EXPECT_EQ(std::string(path), conf.path() + "/sub/my_edm_A4_a.prt");
    char tiny[8];
    EXPECT_EQ(map_config_path("D:\\tarn_conf\\config.def", tiny, sizeof tiny), 0) << "a cut path is refused";
    conf.write_config(kDefaults);
    elec_defaults d;
    EXPECT_EQ(read_elec_defaults(&d), 1);
}

}  // namespace
