// Writes the model record as a source initialiser, one line per field, for
// developers who add a model. The comments are written in GBK, as the
// original source files that these dumps are pasted into are.
#include <iconv.h>

#include <cinttypes>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/model_cfg.h"

namespace app {
namespace {

constexpr int kLastModelIndex = 178;

enum FieldKind {
    kHeading,
    kInt,
    kIntWithoutName,  // the CUSTOM_EQ_NUM line carries no field name
    kUInt,
    kHexColor,
    kBool,
    kFloat,
    kText,
    kTextEscaped,  // backslashes doubled
    kWide,
    kWideEscaped,
    kTailAlign,  // the closing fixed line
};

struct DumpLine {
    const char* nameOrHeading;
    FieldKind kind = kHeading;
    size_t offset = 0;
    int tabs = 0;
    const char* comment = "";  // UTF-8 here, GBK in the file
};

// Record order; mSWITCH_BUTTON_TEXT_COLOR has no line of its own.
const DumpLine kDumpLines[] = {
    {"基本信息"},
    {"mFw_Model_ID", kInt, offsetof(ModelCfg, mFw_Model_ID), 3, "硬件机型ID"},
    {"mSw_Model_ID", kInt, offsetof(ModelCfg, mSw_Model_ID), 3, "软件机型ID"},
    {"mNO_CHECK_ID", kBool, offsetof(ModelCfg, mNO_CHECK_ID), 2, "不检查机型"},
    {"mMODEL_NAME", kText, offsetof(ModelCfg, mMODEL_NAME), 2, "内部记录的机型名称"},
    {"mMODEL_NAME_SHOW", kText, offsetof(ModelCfg, mMODEL_NAME_SHOW), 2, "界面显示的机型名称"},
    {"mPROGRAM_TITLE", kWide, offsetof(ModelCfg, mPROGRAM_TITLE), 2, "程序标题"},
    {"mRESOURCE_PATH", kWideEscaped, offsetof(ModelCfg, mRESOURCE_PATH), 2, "资源路径"},
    {"mMARAVO_ICON", kTextEscaped, offsetof(ModelCfg, mMARAVO_ICON), 2, "图标文件"},
    {"mLOGO_PNG", kWide, offsetof(ModelCfg, mLOGO_PNG), 2,
     "用于多个产品共用皮肤时,为某个产品指定logo图片"},
    {"mCOMPANY_URL_STR", kWide, offsetof(ModelCfg, mCOMPANY_URL_STR), 2, "公司URL字符串"},
    {"固件文件"},
    {"mMARAVO_MCU", kTextEscaped, offsetof(ModelCfg, mMARAVO_MCU), 2, "MCU固件文件"},
    {"mMARAVO_FLASH", kTextEscaped, offsetof(ModelCfg, mMARAVO_FLASH), 2, "Flash固件文件"},
    {"mUPG_TEXT", kText, offsetof(ModelCfg, mUPG_TEXT), 2, "升级文本"},
    {"mMCU_FILE", kWide, offsetof(ModelCfg, mMCU_FILE), 2, "升级文件"},
    {"mFLASH_FILE", kWide, offsetof(ModelCfg, mFLASH_FILE), 2, "升级文件"},
    {"mUPG_FILE", kWide, offsetof(ModelCfg, mUPG_FILE), 2, "升级文件"},
    {"mUPG_MCU_FILE", kWide, offsetof(ModelCfg, mUPG_MCU_FILE), 2, "升级文件"},
    {"mINNER_FW_MAIN_VER", kInt, offsetof(ModelCfg, mINNER_FW_MAIN_VER), 3, "主版本号"},
    {"mINNER_FW_SLAVE_VER", kInt, offsetof(ModelCfg, mINNER_FW_SLAVE_VER), 3, "从版本号"},
    {"通道配置"},
    {"mOUT_CHANNEL_NUMBER", kInt, offsetof(ModelCfg, mOUT_CHANNEL_NUMBER), 3, "输出通道数"},
    {"mOUT_LINK_NUMBER", kInt, offsetof(ModelCfg, mOUT_LINK_NUMBER), 3, "输出链接数"},
    {"mOPT_INPUT_CHANNEL_NUMBER", kInt, offsetof(ModelCfg, mOPT_INPUT_CHANNEL_NUMBER), 3,
     "光纤输入通道数"},
    {"mCOAX_INPUT_CHANNEL_NUMBER", kInt, offsetof(ModelCfg, mCOAX_INPUT_CHANNEL_NUMBER), 3,
     "同轴输入通道数"},
    {"mBT_INPUT_CHANNEL_NUMBER", kInt, offsetof(ModelCfg, mBT_INPUT_CHANNEL_NUMBER), 3,
     "蓝牙输入通道数"},
    {"mAUX_INPUT_CHANNEL_NUMBER", kInt, offsetof(ModelCfg, mAUX_INPUT_CHANNEL_NUMBER), 3,
     "AUX输入通道数"},
    {"mLOW_INPUT_CHANNEL_NUMBER", kInt, offsetof(ModelCfg, mLOW_INPUT_CHANNEL_NUMBER), 3,
     "低电平输入通道数"},
    {"mHI_INPUT_CHANNEL_NUMBER", kInt, offsetof(ModelCfg, mHI_INPUT_CHANNEL_NUMBER), 3,
     "高电平输入通道数"},
    {"mDMP_INPUT_CHANNEL_NUMBER", kInt, offsetof(ModelCfg, mDMP_INPUT_CHANNEL_NUMBER), 3,
     "DMP输入通道数"},
    {"mUDP_INPUT_CHANNEL_NUMBER", kInt, offsetof(ModelCfg, mUDP_INPUT_CHANNEL_NUMBER), 3,
     "UDP输入通道数"},
    {"mSCP_INPUT_CHANNEL_NUMBER", kInt, offsetof(ModelCfg, mSCP_INPUT_CHANNEL_NUMBER), 3,
     "SCP输入通道数"},
    {"mA2B_INPUT_CHANNEL_NUMBER", kInt, offsetof(ModelCfg, mA2B_INPUT_CHANNEL_NUMBER), 3,
     "A2B输入通道数"},
    {"mMAX_INPUT_CHANNEL_NUMBER", kInt, offsetof(ModelCfg, mMAX_INPUT_CHANNEL_NUMBER), 3,
     "最大输入通道数"},
    {"mAUTO_CAL_CHANNEL_NUM", kInt, offsetof(ModelCfg, mAUTO_CAL_CHANNEL_NUM), 3, "自动校准通道数"},
    {"mOUT_CHANNEL_MONITOR_NUMBER", kInt, offsetof(ModelCfg, mOUT_CHANNEL_MONITOR_NUMBER), 3,
     "输出监控通道数"},
    {"功能开关"},
    {"mENABLE_INPUT_MIXER", kBool, offsetof(ModelCfg, mENABLE_INPUT_MIXER), 2, "输入混音"},
    {"mENABLE_MIXER_BUTTON", kBool, offsetof(ModelCfg, mENABLE_MIXER_BUTTON), 2, "混音按钮"},
    {"mENABLE_CROSS_SOURCE_MIX", kBool, offsetof(ModelCfg, mENABLE_CROSS_SOURCE_MIX), 2,
     "跨音源混音"},
    {"mENABLE_AUTO_CALIBRATION", kBool, offsetof(ModelCfg, mENABLE_AUTO_CALIBRATION), 2,
     "自动校准"},
    {"mENABLE_NOISE_THRESHOLD", kBool, offsetof(ModelCfg, mENABLE_NOISE_THRESHOLD), 2, "噪声门限"},
    {"mENABLE_POWEROFF_DELAY", kBool, offsetof(ModelCfg, mENABLE_POWEROFF_DELAY), 2, "关机延时"},
    {"mENABLE_DETECT_SUBWOOFER", kBool, offsetof(ModelCfg, mENABLE_DETECT_SUBWOOFER), 2,
     "低音炮检测"},
    {"mENABLE_DEFAULT_ENG", kBool, offsetof(ModelCfg, mENABLE_DEFAULT_ENG), 2, "默认英文"},
    {"mFORCE_LANGUAGE_ENG", kBool, offsetof(ModelCfg, mFORCE_LANGUAGE_ENG), 2, "强制英文"},
    {"mENABLE_RUSSIA", kBool, offsetof(ModelCfg, mENABLE_RUSSIA), 2, "支持俄语"},
    {"mENABLE_BODER", kBool, offsetof(ModelCfg, mENABLE_BODER), 2, "边框显示"},
    {"mENABLE_SOURCE_TICK", kBool, offsetof(ModelCfg, mENABLE_SOURCE_TICK), 2, "音源标记"},
    {"mENABLE_KTV", kBool, offsetof(ModelCfg, mENABLE_KTV), 2, "KTV"},
    {"mENABLE_COMPRESSOR", kBool, offsetof(ModelCfg, mENABLE_COMPRESSOR), 2, "压缩器"},
    {"mENABLE_COMPRESSOR2", kBool, offsetof(ModelCfg, mENABLE_COMPRESSOR2), 2, "压缩器2型"},
    {"mENABLE_COMPRESSOR_ON", kBool, offsetof(ModelCfg, mENABLE_COMPRESSOR_ON), 2, "压缩器开关"},
    {"mENABLE_AUTO_ON", kBool, offsetof(ModelCfg, mENABLE_AUTO_ON), 2, "自动开关"},
    {"mENABLE_CS_AUTO", kBool, offsetof(ModelCfg, mENABLE_CS_AUTO), 2, "跨音源自动开关"},
    {"mENABLE_CUSTOM_EQ", kBool, offsetof(ModelCfg, mENABLE_CUSTOM_EQ), 2, "自定义EQ"},
    {"mENABLE_NOISE_SWITCH", kBool, offsetof(ModelCfg, mENABLE_NOISE_SWITCH), 2, "噪声开关"},
    {"mENABLE_FORCE_UPDATE", kBool, offsetof(ModelCfg, mENABLE_FORCE_UPDATE), 2, "强制更新"},
    {"mENABLE_AUTO_RETURN", kBool, offsetof(ModelCfg, mENABLE_AUTO_RETURN), 2, "自动回复"},
    {"mUPDATE_FLASH_FIRST", kBool, offsetof(ModelCfg, mUPDATE_FLASH_FIRST), 2, "先升级flash"},
    {"高级功能"},
    {"mHAS_LINK_GROUP", kBool, offsetof(ModelCfg, mHAS_LINK_GROUP), 2, "链接组功能"},
    {"mHAS_LINK_SEL_CH_BUTTON", kBool, offsetof(ModelCfg, mHAS_LINK_SEL_CH_BUTTON), 2,
     "链接选择按钮"},
    {"mHAS_DELAY_LINK_BUTTON", kBool, offsetof(ModelCfg, mHAS_DELAY_LINK_BUTTON), 2,
     "延时链接按钮"},
    {"mSHOW_PHASE", kBool, offsetof(ModelCfg, mSHOW_PHASE), 2, "显示相位"},
    {"mNO_BRIDGE_PHASE", kBool, offsetof(ModelCfg, mNO_BRIDGE_PHASE), 2, "显示相位"},
    {"mSET_OUTPUT_TYPE_NULL_WHEN_UNBRIDGE", kBool,
     offsetof(ModelCfg, mSET_OUTPUT_TYPE_NULL_WHEN_UNBRIDGE), 2,
     "unbridge后输出通道清零 - 对应 SET_OUTPUT_TYPE_NULL_WHEN_UNBRIDGE 宏"},
    {"mSET_PHASE_0_WHEN_UNBRIDGE", kBool, offsetof(ModelCfg, mSET_PHASE_0_WHEN_UNBRIDGE), 2,
     "unbridge后PHASE清零 - 对应 SET_PHASE_0_WHEN_UNBRIDGE 宏"},
    {"mCLEAR_MIXER_WHEN_UNBRIDGE", kBool, offsetof(ModelCfg, mCLEAR_MIXER_WHEN_UNBRIDGE), 2,
     "unbridge后混音器清零 - 对应 CLEAR_MIXER_WHEN_UNBRIDGE 宏"},
    {"mSUPPORT_USB_DEVICE_OPTION", kBool, offsetof(ModelCfg, mSUPPORT_USB_DEVICE_OPTION), 2,
     "USB设备选项支持"},
    {"mSUPPORT_FLOAT_TRIM", kBool, offsetof(ModelCfg, mSUPPORT_FLOAT_TRIM), 2, "浮点微调支持"},
    {"mNOT_SUPPORT_AUX_CROSS_SOURCE_MIXER", kBool,
     offsetof(ModelCfg, mNOT_SUPPORT_AUX_CROSS_SOURCE_MIXER), 2, "不支持AUX跨音源混音"},
    {"mENABLE_FREQ_ADJUST_SMALL", kBool, offsetof(ModelCfg, mENABLE_FREQ_ADJUST_SMALL), 2,
     "频率微调小步长"},
    {"mENABLE_IRC_TARGET_CURVE", kBool, offsetof(ModelCfg, mENABLE_IRC_TARGET_CURVE), 2,
     "IRC目标曲线"},
    {"mENABLE_FACTORY_TEST", kBool, offsetof(ModelCfg, mENABLE_FACTORY_TEST), 2, "工厂测试"},
    {"mENABLE_DETECT_SUBWOOFER_ONLY", kBool, offsetof(ModelCfg, mENABLE_DETECT_SUBWOOFER_ONLY), 2,
     "仅检测低音炮"},
    {"mENABLE_3POINT_SPK_IRC", kBool, offsetof(ModelCfg, mENABLE_3POINT_SPK_IRC), 2,
     "3点扬声器IRC"},
    {"mENABLE_TARGET_EQ", kBool, offsetof(ModelCfg, mENABLE_TARGET_EQ), 2, "目标EQ"},
    {"mENABLE_SPLIT_CROSS_SOURCE_MIX", kBool, offsetof(ModelCfg, mENABLE_SPLIT_CROSS_SOURCE_MIX), 2,
     "分离跨音源混音"},
    {"mSPLIT_CROSS_SOURCE_MIX_CH", kInt, offsetof(ModelCfg, mSPLIT_CROSS_SOURCE_MIX_CH), 3,
     "分离跨音源混音通道"},
    {"mMXIER_CMD_FORMAT_CS47048", kBool, offsetof(ModelCfg, mMXIER_CMD_FORMAT_CS47048), 2,
     "CS47048混音器命令格式"},
    {"mFORCE_SPLIT_CROSS_SOURCE_MIX_SAME_SOURCE", kBool,
     offsetof(ModelCfg, mFORCE_SPLIT_CROSS_SOURCE_MIX_SAME_SOURCE), 2, "强制分离跨音源混音同源"},
    {"mFIRST_IN_CH_RUN_ON_DSP2", kInt, offsetof(ModelCfg, mFIRST_IN_CH_RUN_ON_DSP2), 3,
     "第一个输入通道运行在DSP2"},
    {"mMIXER_HI_LEVEL_LIMIT_CH_NUM", kInt, offsetof(ModelCfg, mMIXER_HI_LEVEL_LIMIT_CH_NUM), 3,
     "混音器高电平限制通道数"},
    {"mMIXER_SUPPORT_CHANNEL_NAME_AREA_DIFF", kBool,
     offsetof(ModelCfg, mMIXER_SUPPORT_CHANNEL_NAME_AREA_DIFF), 2, "混音器支持通道名称区域差异"},
    {"mSUPPORT_HI_LEVEL_CROSS_SOURCE_MIXER", kBool,
     offsetof(ModelCfg, mSUPPORT_HI_LEVEL_CROSS_SOURCE_MIXER), 2, "支持高电平跨音源混音"},
    {"mENABLE_VERTICAL_SLIDER", kBool, offsetof(ModelCfg, mENABLE_VERTICAL_SLIDER), 2,
     "支持纵向的滑动条(代码中好像不是这个含义)"},
    {"mNO_LIMIT_OUTPUT_TYPE_SELECTABLE", kBool,
     offsetof(ModelCfg, mNO_LIMIT_OUTPUT_TYPE_SELECTABLE), 2, "不限制输出类型的选择"},
    {"特殊配置"},
    {"mEQ_BANDS_COUNT_TYPE", kInt, offsetof(ModelCfg, mEQ_BANDS_COUNT_TYPE), 3, "EQ频段数量类型"},
    {"mVOLUME_MAP", kBool, offsetof(ModelCfg, mVOLUME_MAP), 3, "音量映射"},
    {"mCOMPANY_URL", kInt, offsetof(ModelCfg, mCOMPANY_URL), 3, "公司URL显示"},
    {"mEQ_TEXT_LINE_GRAY_CURVE_BLUE", kBool, offsetof(ModelCfg, mEQ_TEXT_LINE_GRAY_CURVE_BLUE), 3,
     "EQ文本线条颜色:文字线条灰,曲线蓝"},
    {"mCRUVE_FORCE_COLOR", kUInt, offsetof(ModelCfg, mCRUVE_FORCE_COLOR), 3,
     "指定EQ曲条颜色值,为0使用默认值 - 对应宏 CRUVE_FORCE_COLOR "},
    {"mUSE_FULL_PASS_FILTER_NAME", kBool, offsetof(ModelCfg, mUSE_FULL_PASS_FILTER_NAME), 3,
     "eq中显示pass filter的全名"},
    {"mJIELI_PLATFORM", kInt, offsetof(ModelCfg, mJIELI_PLATFORM), 3, "杰理平台"},
    {"mHAS_MAIN_DLG_VERSION", kInt, offsetof(ModelCfg, mHAS_MAIN_DLG_VERSION), 3, "主对话框版本"},
    {"mHIDE_FORCE_UPDATE_BOX", kInt, offsetof(ModelCfg, mHIDE_FORCE_UPDATE_BOX), 3,
     "隐藏强制更新框"},
    {"mEQ_FREQ_MIN", kInt, offsetof(ModelCfg, mEQ_FREQ_MIN), 3, "eq的最低频率"},
    {"mOUTPUT_EQ_NUMBER", kInt, offsetof(ModelCfg, mOUTPUT_EQ_NUMBER), 3, "输出EQ数量"},
    {"mEQ_4BANDS_NOT_AJUST", kBool, offsetof(ModelCfg, mEQ_4BANDS_NOT_AJUST), 3,
     "前面4个eq通道是不是可以调整"},
    {"mHAS_SURROUND", kBool, offsetof(ModelCfg, mHAS_SURROUND), 3,
     "是否支持surround的两种输出类型"},
    {"mUSE_KESTO_OUTPUT_TYPE", kBool, offsetof(ModelCfg, mUSE_KESTO_OUTPUT_TYPE), 3,
     "是否支持kesto的输出类型"},
    {"mOUTPUT_VISIBLE", kBool, offsetof(ModelCfg, mOUTPUT_VISIBLE), 3, "是不是显示output选择按钮"},
    {"混音配置"},
    {"mUSE_LESS_PERCENT_FOR_WOOFER", kBool, offsetof(ModelCfg, mUSE_LESS_PERCENT_FOR_WOOFER), 2,
     "低音通道使用较小百分比"},
    {"mLESS_PERCENT", kInt, offsetof(ModelCfg, mLESS_PERCENT), 3, "较小百分比值"},
    {"mWOOFER_OFFSET", kInt, offsetof(ModelCfg, mWOOFER_OFFSET), 3, "低音通道偏移"},
    {"mSUPPORT_LOW_LEVEL_CROSS_SOURCE_MIXER", kBool,
     offsetof(ModelCfg, mSUPPORT_LOW_LEVEL_CROSS_SOURCE_MIXER), 2, "支持低等级跨音源混音"},
    {"mMIXER_NO_EXTRA_COLUMN", kBool, offsetof(ModelCfg, mMIXER_NO_EXTRA_COLUMN), 2,
     "不需要用根据column_%d来隐藏额外的行"},
    {"mMIXER_CH_WIDTH", kInt, offsetof(ModelCfg, mMIXER_CH_WIDTH), 3, "mixer单元的宽度"},
    {"mMIXER_CH_HEIGHT", kInt, offsetof(ModelCfg, mMIXER_CH_HEIGHT), 3, "mixer单元的高度"},
    {"mMIXER_MAX_INPUT_CH", kInt, offsetof(ModelCfg, mMIXER_MAX_INPUT_CH), 3,
     "mixer各音源最大输入通道数"},
    {"mMIXER_MAX_OUTPUT_CH", kInt, offsetof(ModelCfg, mMIXER_MAX_OUTPUT_CH), 3,
     "mixer各音源最大输出通道数"},
    {"链接配置"},
    {"mLINK_SUB_CH_VOL", kBool, offsetof(ModelCfg, mLINK_SUB_CH_VOL), 2, "链接低音通道音量"},
    {"mLINK_LR_CH_VOL", kBool, offsetof(ModelCfg, mLINK_LR_CH_VOL), 2, "链接左右通道音量"},
    {"mSELECT_LINK_CHANNEL", kBool, offsetof(ModelCfg, mSELECT_LINK_CHANNEL), 2, "支持左右联调??"},
    {"mLOCK_HIDE", kBool, offsetof(ModelCfg, mLOCK_HIDE), 2, "隐藏lock按钮??"},
    {"mLINK_LR_CH_DELAY", kBool, offsetof(ModelCfg, mLINK_LR_CH_DELAY), 2, "链接左右通道延时"},
    {"mLINK_SEL_CH_DELAY", kBool, offsetof(ModelCfg, mLINK_SEL_CH_DELAY), 2, "链接选择通道延时"},
    {"mLINK_CH_VOL_WITH_DELTA", kBool, offsetof(ModelCfg, mLINK_CH_VOL_WITH_DELTA), 2,
     "链接通道音量保持差值"},
    {"mLINK_CH_DELAY_WITH_DELTA", kBool, offsetof(ModelCfg, mLINK_CH_DELAY_WITH_DELTA), 2,
     "链接通道延时保持差值"},
    {"mLINK_SELECTED_CH_EQ_WITH_DELTA", kBool, offsetof(ModelCfg, mLINK_SELECTED_CH_EQ_WITH_DELTA),
     2, "链接选中通道EQ保持差值"},
    {"mONLY_COPY_SELECTED_EQ_POINT_WHEN_LINK", kBool,
     offsetof(ModelCfg, mONLY_COPY_SELECTED_EQ_POINT_WHEN_LINK), 2, "链接时只拷贝选中EQ频点"},
    {"mDEFAULT_LINK_PHASE", kBool, offsetof(ModelCfg, mDEFAULT_LINK_PHASE), 2, "默认链接相位"},
    {"mDEFAULT_LINK_MUTE", kBool, offsetof(ModelCfg, mDEFAULT_LINK_MUTE), 2, "默认链接静音"},
    {"mOUT_LINK_STAGE1_NUM", kInt, offsetof(ModelCfg, mOUT_LINK_STAGE1_NUM), 3,
     "输出链接阶段1数量"},
    {"音量配置"},
    {"mVOLUME_SHOW_NO_DB", kBool, offsetof(ModelCfg, mVOLUME_SHOW_NO_DB), 2, "音量显示无dB"},
    {"mVOLUME_SHOW_NO_OFF", kBool, offsetof(ModelCfg, mVOLUME_SHOW_NO_OFF), 2, "音量显示无关闭"},
    {"mMAIN_VOLUME_SLIDER_MAX", kInt, offsetof(ModelCfg, mMAIN_VOLUME_SLIDER_MAX), 3,
     "主音量滑块最大值"},
    {"mMAIN_VOLUME_SLIDER_MIN", kInt, offsetof(ModelCfg, mMAIN_VOLUME_SLIDER_MIN), 3,
     "主音量滑块最小值"},
    {"mMAIN_VOLUME_SLIDER_DEFAULT", kInt, offsetof(ModelCfg, mMAIN_VOLUME_SLIDER_DEFAULT), 3,
     "主音量滑块默认值"},
    {"mMAIN_VOLUME_VALUE_DIFF_TO_UI", kInt, offsetof(ModelCfg, mMAIN_VOLUME_VALUE_DIFF_TO_UI), 3,
     "主音量值与UI值的差值"},
    {"mMAIN_VOLUME_DEFAULT", kInt, offsetof(ModelCfg, mMAIN_VOLUME_DEFAULT), 3, "主音量默认值"},
    {"mMAIN_VOLUME_MAX", kInt, offsetof(ModelCfg, mMAIN_VOLUME_MAX), 3, "主音量最大值"},
    {"mMAIN_VOLUME_MIN", kInt, offsetof(ModelCfg, mMAIN_VOLUME_MIN), 3, "主音量最小值"},
    {"延时配置"},
    {"mMAX_DELAY_MS", kFloat, offsetof(ModelCfg, mMAX_DELAY_MS), 3, "最大延时"},
    {"mMAX_DELAY_CM", kFloat, offsetof(ModelCfg, mMAX_DELAY_CM), 3, "最大延时"},
    {"mMAX_DELAY_INCH", kFloat, offsetof(ModelCfg, mMAX_DELAY_INCH), 3, "最大延时"},
    {"EQ配置"},
    {"mEQ_FACTOR_PRECISION", kInt, offsetof(ModelCfg, mEQ_FACTOR_PRECISION), 3, "EQ因子精度"},
    {"mEQ_FACTOR_MAX", kFloat, offsetof(ModelCfg, mEQ_FACTOR_MAX), 2, "EQ因子最大值"},
    {"mEQ_FACTOR_MIN", kFloat, offsetof(ModelCfg, mEQ_FACTOR_MIN), 2, "EQ因子最小值"},
    {"mEQ_FACTOR_STEP", kFloat, offsetof(ModelCfg, mEQ_FACTOR_STEP), 2, "EQ因子步长"},
    {"mCUSTOM_EQ_NUM", kIntWithoutName, offsetof(ModelCfg, mCUSTOM_EQ_NUM), 2,
     "自定义EQ数量 - 对应宏 CUSTOM_EQ_NUM"},
    {"其他配置"},
    {"mChVolumeStep", kInt, offsetof(ModelCfg, mChVolumeStep), 3, "通道音量步长"},
    {"mChVolumeEditDiff", kFloat, offsetof(ModelCfg, mChVolumeEditDiff), 2, "通道音量编辑差值"},
    {"mAlignTrimTo5", kBool, offsetof(ModelCfg, mAlignTrimTo5), 2, "微调对齐到5"},
    {"mMixerVol_ShowdB", kBool, offsetof(ModelCfg, mMixerVol_ShowdB), 2, "混音音量显示dB"},
    {"mMixerVol_Max", kInt, offsetof(ModelCfg, mMixerVol_Max), 3, "混音音量最大值"},
    {"mMixerVol_Min", kInt, offsetof(ModelCfg, mMixerVol_Min), 3, "混音音量最小值"},
    {"mSEND_TOGETHER", kBool, offsetof(ModelCfg, mSEND_TOGETHER), 2, "一起发送"},
    {"mNO_MUTE_ON_MAIN_VOL", kBool, offsetof(ModelCfg, mNO_MUTE_ON_MAIN_VOL), 2, "主音量无静音"},
    {"mNOISE_GATE_HAS_TWO_LAYER", kBool, offsetof(ModelCfg, mNOISE_GATE_HAS_TWO_LAYER), 2,
     "噪声门有两层"},
    {"mUNENABLE_INPUT_ZH", kBool, offsetof(ModelCfg, mUNENABLE_INPUT_ZH), 2, "不允许输入中文"},
    {"mMIN_NOISE_THRESHOLD", kInt, offsetof(ModelCfg, mMIN_NOISE_THRESHOLD), 3, "最小噪声阈值"},
    {"mMIX_GAIN_MAX", kInt, offsetof(ModelCfg, mMIX_GAIN_MAX), 3, "最大混音音量"},
    {"mDEFAULT_MAIN_VOLUME", kInt, offsetof(ModelCfg, mDEFAULT_MAIN_VOLUME), 3, "默认主音量"},
    {"颜色配置"},
    {"mDISCONNECT_BUTTON_COLOR", kHexColor, offsetof(ModelCfg, mDISCONNECT_BUTTON_COLOR), 2,
     "断开按钮颜色"},
    {"字体配置"},
    {"mNEED_NIMBUS_FONT", kBool, offsetof(ModelCfg, mNEED_NIMBUS_FONT), 2, "需要Nimbus字体"},
    {"mNEED_PER_CH_EQ_PIC", kBool, offsetof(ModelCfg, mNEED_PER_CH_EQ_PIC), 2, "需要每通道EQ图片"},
    {"mNEED_PER_CH_SPK_PIC", kBool, offsetof(ModelCfg, mNEED_PER_CH_SPK_PIC), 2,
     "需要每通道扬声器图片"},
    {"mDEFAULT_WINDOW_WIDTH", kInt, offsetof(ModelCfg, mDEFAULT_WINDOW_WIDTH), 3, "默认窗口宽度"},
    {"mDEFAULT_WINDOW_HEIGHT", kInt, offsetof(ModelCfg, mDEFAULT_WINDOW_HEIGHT), 3, "默认窗口高度"},
    {"尾部对齐字符串"},
    {"mAlignStr", kTailAlign, offsetof(ModelCfg, mAlignStr), 3, "尾部对齐字符串"},
};

std::string ToGbk(const std::string& utf8) {
    iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return utf8;
    }
    std::string out(utf8.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

std::string DoubleBackslashes(std::string text) {
    for (size_t at = text.find('\\'); at != std::string::npos; at = text.find('\\', at + 2)) {
        text.insert(at, 1, '\\');
    }
    return text;
}

// Model texts are ASCII, so each UTF-16 unit narrows to one byte.
std::string NarrowWide(const char16_t* wide) {
    std::string out;
    for (; *wide != 0; ++wide) {
        out.push_back(static_cast<char>(*wide));
    }
    return out;
}

std::string RenderValue(const ModelCfg& cfg, const DumpLine& line) {
    const auto* field = reinterpret_cast<const unsigned char*>(&cfg) + line.offset;
    char buf[64];
    switch (line.kind) {
        case kInt:
        case kIntWithoutName: {
            int32_t v;
            std::memcpy(&v, field, sizeof v);
            std::snprintf(buf, sizeof buf, "%d", v);
            return buf;
        }
        case kUInt:
        case kHexColor: {
            uint32_t v;
            std::memcpy(&v, field, sizeof v);
            std::snprintf(buf, sizeof buf, line.kind == kUInt ? "%u" : "0x%08X", v);
            return buf;
        }
        case kBool:
            return *field != 0 ? "true" : "false";
        case kFloat: {
            float v;
            std::memcpy(&v, field, sizeof v);
            std::snprintf(buf, sizeof buf, "%.2f", v);
            return buf;
        }
        case kText:
        case kTextEscaped: {
            std::string text(reinterpret_cast<const char*>(field));
            return "\"" + (line.kind == kTextEscaped ? DoubleBackslashes(text) : text) + "\"";
        }
        case kWide:
        case kWideEscaped: {
            std::string text = NarrowWide(reinterpret_cast<const char16_t*>(field));
            return "_T(\"" + (line.kind == kWideEscaped ? DoubleBackslashes(text) : text) + "\")";
        }
        case kHeading:
        case kTailAlign:
            break;
    }
    return {};
}

std::string RenderLine(const ModelCfg& cfg, const DumpLine& line) {
    switch (line.kind) {
        case kHeading:
            return "\n\t\t// " + ToGbk(line.nameOrHeading) + "\n";
        case kTailAlign:
            return "\t_T(\"end\")\t\t\t// mAlignStr - " + ToGbk(line.comment) + "\n";
        case kIntWithoutName:
            return "\t\t" + RenderValue(cfg, line) + ",\t\t// " + ToGbk(line.comment) + "\n";
        default:
            return "\t\t" + RenderValue(cfg, line) + "," + std::string(line.tabs, '\t') + "// " +
                   line.nameOrHeading + " - " + ToGbk(line.comment) + "\n";
    }
}

}  // namespace

void WriteModelCfgText(int modelIndex) {
    // A negative index would name a file outside the valid set as well.
    if (modelIndex > kLastModelIndex || modelIndex < 0) {
        std::printf("Invalid model index: %d\n", modelIndex);
        return;
    }
    std::error_code ignored;
    std::filesystem::create_directory("./modelCfg/", ignored);
    char path[64];
    std::snprintf(path, sizeof path, "./modelCfg/%d.txt", modelIndex);
    FILE* file = std::fopen(path, "w");
    if (file == nullptr) {
        std::printf("Failed to open file: %s\n", path);
        return;
    }
    const ModelCfg& cfg = CurrentModelCfg();
    std::fprintf(file, "\t// %s\n\t{\n", cfg.mMODEL_NAME);
    for (const DumpLine& line : kDumpLines) {
        std::fputs(RenderLine(cfg, line).c_str(), file);
    }
    std::fputs("\t}\n", file);
    std::fclose(file);
    std::printf("ModelCfg for model %d has been written to %s\n", modelIndex, path);
}

}  // namespace app
