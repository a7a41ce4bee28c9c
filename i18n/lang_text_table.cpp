// The localized texts. Several cells repeat: the Polish column keeps most English
// strings and "F/S" stands for the frame-rate unit in most languages.
#include "i18n/lang_text_table.h"

constexpr std::array<LangTextRow, TXT_COUNT> LangTextTable = {{
    {TXT_NO_VIDEO_DEVICE,
     {{
         "You have no video capture device",                       // English
         "没有发现视频捕捉设备",                                   // Simplified Chinese
         "Vous n'avez aucun dispositif visuel de capture",         // French
         "ビデオ捕獲装置を有しない",                               // Japanese
         "Usted no tiene ningún dispositivo video de la captura",  // Spanish
         "Sie haben keine videosicherung Vorrichtung",             // German
         "Você não tem nenhum dispositivo video da captação",      // Portuguese
         "You have no video capture device",                       // Polish
         "沒有發現視頻捕捉設備",                                   // Traditional Chinese
     }}},
    {TXT_MENU_VIDEO_FILTER,
     {{
         "Video Capture Filter...(&C)",                         // English
         "视频捕捉过滤器...(&C)",                               // Simplified Chinese
         "Filtre visuel de capture de fréquence...(&C)",        // French
         "ビデオ頻度捕獲フィルター...(&C)",                     // Japanese
         "Filtro video de la captura de la frecuencia...(&C)",  // Spanish
         "Videofrequenzsicherung Filter...(&C)",                // German
         "Filtro video da captação da freqüência...(&C)",       // Portuguese
         "Video Capture Filter...(&C)",                         // Polish
         "視頻捕捉過濾器...(&C)",                               // Traditional Chinese
     }}},
    {TXT_MENU_VIDEO_PIN,
     {{
         "Video Capture Pin...(&I)",                              // English
         "视频捕捉接口...(&I)",                                   // Simplified Chinese
         "Goupille visuelle de capture...(&I)",                   // French
         "ビデオ頻度捕獲の関係...(&I)",                           // Japanese
         "Conexión video de la captura de la frecuencia...(&I)",  // Spanish
         "Videofrequenzsicherung Anschluß...(&I)",                // German
         "Conexão video da captação da freqüência...(&I)",        // Portuguese
         "Video Capture Pin...(&I)",                              // Polish
         "視頻捕捉接口...(&I)",                                   // Traditional Chinese
     }}},
    {TXT_MENU_AUDIO_FILTER,
     {{
         "Audio Capture Filter...(&V)",        // English
         "音频捕捉过滤器...(&V)",              // Simplified Chinese
         "Filtre audio de capture...(&V)",     // French
         "可聴周波捕獲フィルター...(&V)",      // Japanese
         "Filtro audio de la captura...(&V)",  // Spanish
         "Audiosicherung Filter...(&V)",       // German
         "Filtro audio da captação...(&V)",    // Portuguese
         "Audio Capture Filter...(&V)",        // Polish
         "音頻捕捉過濾器...(&V)",              // Traditional Chinese
     }}},
    {TXT_START_CAPTURE,
     {{
         "Start Capture(&S)",         // English
         "开始录像(&S)",              // Simplified Chinese
         "Débuts à enregistrer(&S)",  // French
         "記録するべき開始(&S)",      // Japanese
         "Comienzo a registrar(&S)",  // Spanish
         "Zu notieren Anfänge(&S)",   // German
         "Começos a gravar(&S)",      // Portuguese
         "Start Capture(&S)",         // Polish
         "開始錄像(&S)",              // Traditional Chinese
     }}},
    {TXT_STOP_CAPTURE,
     {{
         "Stop Capture(&S)",                     // English
         "停止录像(&S)",                         // Simplified Chinese
         "Arrêtez l'enregistrement visuel(&S)",  // French
         "ビデオ録画を停止しなさい(&S)",         // Japanese
         "Pare la grabación video(&S)",          // Spanish
         "Stoppen Sie Videoaufzeichnung(&S)",    // German
         "Pare a gravação video (&S)",           // Portuguese
         "Stop Capture(&S)",                     // Polish
         "停止錄像(&S)",                         // Traditional Chinese
     }}},
    {TXT_TIME_ELAPSED,
     {{
         "Time elapsed:",                   // English
         "录像时间:",                       // Simplified Chinese
         "Temps d'enregistrement visuel:",  // French
         "ビデオ録画の時間:",               // Japanese
         "Tiempo de grabación video:",      // Spanish
         "Videoaufzeichnung Zeit:",         // German
         "Tempo de gravação video:",        // Portuguese
         "Time elapsed:",                   // Polish
         "錄像時間:",                       // Traditional Chinese
     }}},
    {TXT_OK,
     {{
         "OK",            // English
         "确定",          // Simplified Chinese
         "Confirmation",  // French
         "確定",          // Japanese
         "confirmacion",  // Spanish
         "bestimmen",     // German
         "confirmação",   // Portuguese
         "konfirmacja",   // Polish
         "確定",          // Traditional Chinese
     }}},
    {TXT_CANCEL,
     {{
         "Cancel",       // English
         "取消",         // Simplified Chinese
         "Annulations",  // French
         "キャンセル",   // Japanese
         "anulación",    // Spanish
         "absagen",      // German
         "anulação",     // Portuguese
         "anulacja",     // Polish
         "取消",         // Traditional Chinese
     }}},
    {TXT_FRAMERATE_CAPTION,
     {{
         "Set Frame rate",               // English
         "设置帧率",                     // Simplified Chinese
         "Placez le taux de vue",        // French
         "フレーム率を置きなさい",       // Japanese
         "Fije la tarifa del capítulo",  // Spanish
         "Stellen Sie Feldrate ein",     // German
         "Ajuste a taxa do quadro",      // Portuguese
         "Set Frame rate",               // Polish
         "設置幀率",                     // Traditional Chinese
     }}},
    {TXT_FRAMERATE_ENABLE,
     {{
         "Enable Frame Rate",                                          // English
         "启用帧率设置",                                               // Simplified Chinese
         "Permettez le taux d'armature",                               // French
         "フレーム率の確立を使用し始める",                             // Japanese
         "Comienza a usar el establecimiento de la tarifa del marco",  // Spanish
         "Fängt an, die Rahmenrate Einrichtung zu verwenden",          // German
         "Começa a usar o estabelecimento da taxa do frame",           // Portuguese
         "Enable Frame Rate",                                          // Polish
         "啟用幀率設置",                                               // Traditional Chinese
     }}},
    {TXT_FRAMERATE_LABEL,
     {{
         "Frame Rate",        // English
         "帧率",              // Simplified Chinese
         "Taux d'armature",   // French
         "フレーム率",        // Japanese
         "Tarifa del marco",  // Spanish
         "Rahmen-Rate",       // German
         "Taxa do frame",     // Portuguese
         "Frame Rate",        // Polish
         "幀率",              // Traditional Chinese
     }}},
    {TXT_FRAMERATE_UNIT,
     {{
         "F/S",    // English
         "帧/秒",  // Simplified Chinese
         "F/S",    // French
         "F/S",    // Japanese
         "F/S",    // Spanish
         "F/S",    // German
         "F/S",    // Portuguese
         "F/S",    // Polish
         "幀/秒",  // Traditional Chinese
     }}},
    {TXT_TIMELIMIT_CAPTION,
     {{
         "Record Time Limit",                     // English
         "限时录像",                              // Simplified Chinese
         "Enregistrement visuel de délai",        // French
         "制限時間のビデオ録画",                  // Japanese
         "Grabación video del límite de tiempo",  // Spanish
         "Videoaufzeichnung der Grenzzeit",       // German
         "Gravação video de limite de tempo",     // Portuguese
         "Record Time Limit",                     // Polish
         "限時錄像",                              // Traditional Chinese
     }}},
    {TXT_TIMELIMIT_ENABLE,
     {{
         "Enable Record Time Limit",                                    // English
         "启用限时录像",                                                // Simplified Chinese
         "Commence à employer l'enregistrement visuel de délai",        // French
         "制限時間のビデオ録画を使用し始める",                          // Japanese
         "Comienza a usar la grabación video del límite de tiempo",     // Spanish
         "Fängt an, die Videoaufzeichnung der Grenzzeit zu verwenden",  // German
         "Começa a usar a gravação video de limite de tempo",           // Portuguese
         "Enable Record Time Limit",                                    // Polish
         "啟用限時錄像",                                                // Traditional Chinese
     }}},
    {TXT_TIMELIMIT_LABEL,
     {{
         "Time",    // English
         "时间",    // Simplified Chinese
         "Temps",   // French
         "時間",    // Japanese
         "Tiempo",  // Spanish
         "Zeit",    // German
         "Tempo",   // Portuguese
         "Time",    // Polish
         "時間",    // Traditional Chinese
     }}},
    {TXT_TIMELIMIT_UNIT,
     {{
         "Seconds",           // English
         "秒",                // Simplified Chinese
         "En second lieu",    // French
         "二番目に",          // Japanese
         "En segundo lugar",  // Spanish
         "Zweitens",          // German
         "Em segundo",        // Portuguese
         "Seconds",           // Polish
         "秒",                // Traditional Chinese
     }}},
    {TXT_SELECT_FOLDER,
     {{
         "Select a folder",          // English
         "选择文件夹",               // Simplified Chinese
         "Choisissez une chemise",   // French
         "ホールダーを選びなさい",   // Japanese
         "Seleccione una carpeta",   // Spanish
         "Wählen Sie ein Heft vor",  // German
         "Selecione um dobrador",    // Portuguese
         "Select a folder",          // Polish
         "選擇文件夾",               // Traditional Chinese
     }}},
    {TXT_ABOUT_CAPTION,
     {{
         "About Ostrel",        // English
         "关于 Ostrel",         // Simplified Chinese
         "Au sujet de Ostrel",  // French
         "について Ostrel",     // Japanese
         "Sobre Ostrel",        // Spanish
         "Über Ostrel",         // German
         "Sobre Ostrel",        // Portuguese
         "About Ostrel",        // Polish
         "關于  Ostrel",        // Traditional Chinese
     }}},
    {TXT_ABOUT_VERSION,
     {{
         "Ostrel Version 1.0.0.4",  // English
         "Ostrel 版本 1.0.0.4",     // Simplified Chinese
         "Ostrel Version 1.0.0.4",  // French
         "Ostrel Version 1.0.0.4",  // Japanese
         "Ostrel Version 1.0.0.4",  // Spanish
         "Ostrel Version 1.0.0.4",  // German
         "Ostrel Version 1.0.0.4",  // Portuguese
         "Ostrel Version 1.0.0.4",  // Polish
         "Ostrel 版本 1.0.0.4",     // Traditional Chinese
     }}},
    {TXT_ABOUT_COPYRIGHT,
     {{
         "Copyright (C) 2009 The Ostrel developers",  // English
         "版权所有 (C) 2009 Ostrel 开发者",           // Simplified Chinese
         "Copyright (C) 2009 The Ostrel developers",  // French
         "著作権 (C) 2009 Ostrel 開発者",             // Japanese
         "Copyright (C) 2009 The Ostrel developers",  // Spanish
         "Copyright (C) 2009 The Ostrel developers",  // German
         "Copyright (C) 2009 The Ostrel developers",  // Portuguese
         "Copyright (C) 2009 The Ostrel developers",  // Polish
         "版權所有 (C) 2009 Ostrel 開發者",           // Traditional Chinese
     }}},
    {TXT_CANNOT_PREVIEW,
     {{
         "Can not Preview",                      // English
         "预览失败",                             // Simplified Chinese
         "Ne peut pas visionner préalablement",  // French
         "下検分できない",                       // Japanese
         "No puede ver de antemano",             // Spanish
         "Kann nicht vorher sehen",              // German
         "Não pode inspecionar",                 // Portuguese
         "Can not Preview",                      // Polish
         "預覽失敗",                             // Traditional Chinese
     }}},
    {TXT_RECORD_ERROR,
     {{
         "Record error,Please check if the folder for record file exists,\n or if the video file "
         "is used by other applications",                                     // English
         "录像失败,请检查录像文件夹是否存在,\n或录像文件是否被其他程序占用",  // Simplified Chinese
         "Record erreur, svp vérifient si la chemise pour le dossier record existe, \n ou si le "
         "dossier visuel est employé par d'autres applications",  // French
         "ビデオファイルが他の適用によって使用されれば記録的なファイル、\nのためのホールダーがまた"
         "はあれば記録的間違い、点検する",  // Japanese
         "De registro error, por favor comprueban si existe la carpeta para el archivo de "
         "registro, \n o si el archivo video es utilizado por otros usos",  // Spanish
         "Rekord Störung, bitte überprüfen, wenn das Heft für Registerakte besteht, \n oder, wenn "
         "die videoakte durch andere Anwendungen benutzt wird",  // German
         "Record erro, por favor verificam se o dobrador para a lima record existir, \n ou se a "
         "lima video for usada por outras aplicações",  // Portuguese
         "Record error,Please check if the folder for record file exists,\n or if the video file "
         "is used by other applications",                                       // Polish
         "錄像失敗,請檢查錄像文件夾是否存在\n 或錄像文件夾是否被其他文件占用",  // Traditional
                                                                                // Chinese
     }}},
}};

namespace {

constexpr bool RowsInIdOrder() {
  for (int i = 0; i < TXT_COUNT; ++i) {
    if (LangTextTable[i].id != i) return false;
  }
  return true;
}
static_assert(RowsInIdOrder(), "each row of the text table must sit at its id");

}  // namespace

const char* LangText(TextId id, int languageIndex) {
  if (id < 0 || id >= TXT_COUNT) return "";
  return LangTextTable[id].text[ClampLanguageIndex(languageIndex)];
}
