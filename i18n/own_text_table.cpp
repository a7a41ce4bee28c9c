// Ostrel's own texts in the nine languages.
#include "i18n/own_text_table.h"

constexpr std::array<OwnTextRow, OWN_TEXT_COUNT> OwnTextTable = {{
    {OWN_STILL_SIZE_POPUP,
     {{
         "Still image size",    // English
         "拍照大小",            // Simplified Chinese
         "Taille de la photo",  // French
         "静止画のサイズ",      // Japanese
         "Tamaño de la foto",   // Spanish
         "Fotogröße",           // German
         "Tamanho da foto",     // Portuguese
         "Rozmiar zdjęcia",     // Polish
         "拍照大小",            // Traditional Chinese
     }}},
    {OWN_PAGE_GENERAL,
     {{
         "General",    // English
         "常规",       // Simplified Chinese
         "Général",    // French
         "全般",       // Japanese
         "General",    // Spanish
         "Allgemein",  // German
         "Geral",      // Portuguese
         "Ogólne",     // Polish
         "一般",       // Traditional Chinese
     }}},
    {OWN_NO_SETTINGS,
     {{
         "This device has no settings to change.",                         // English
         "此设备没有可更改的设置。",                                       // Simplified Chinese
         "Cet appareil n'a aucun réglage à modifier.",                     // French
         "このデバイスには変更できる設定がありません。",                   // Japanese
         "Este dispositivo no tiene ajustes que cambiar.",                 // Spanish
         "Dieses Gerät hat keine Einstellungen, die sich ändern lassen.",  // German
         "Este dispositivo não tem configurações para alterar.",           // Portuguese
         "To urządzenie nie ma ustawień do zmiany.",                       // Polish
         "此裝置沒有可變更的設定。",                                       // Traditional Chinese
     }}},
    {OWN_PAGE_VIDEO_PROC_AMP,
     {{
         "Video Proc Amp",       // English
         "视频处理",             // Simplified Chinese
         "Réglages de l'image",  // French
         "ビデオ調整",           // Japanese
         "Ajustes de imagen",    // Spanish
         "Bildeinstellungen",    // German
         "Ajustes de imagem",    // Portuguese
         "Ustawienia obrazu",    // Polish
         "視訊處理",             // Traditional Chinese
     }}},
    {OWN_BRIGHTNESS,
     {{
         "Brightness",  // English
         "亮度",        // Simplified Chinese
         "Luminosité",  // French
         "明るさ",      // Japanese
         "Brillo",      // Spanish
         "Helligkeit",  // German
         "Brilho",      // Portuguese
         "Jasność",     // Polish
         "亮度",        // Traditional Chinese
     }}},
    {OWN_CONTRAST,
     {{
         "Contrast",      // English
         "对比度",        // Simplified Chinese
         "Contraste",     // French
         "コントラスト",  // Japanese
         "Contraste",     // Spanish
         "Kontrast",      // German
         "Contraste",     // Portuguese
         "Kontrast",      // Polish
         "對比",          // Traditional Chinese
     }}},
    {OWN_HUE,
     {{
         "Hue",      // English
         "色调",     // Simplified Chinese
         "Teinte",   // French
         "色相",     // Japanese
         "Tono",     // Spanish
         "Farbton",  // German
         "Matiz",    // Portuguese
         "Odcień",   // Polish
         "色調",     // Traditional Chinese
     }}},
    {OWN_SATURATION,
     {{
         "Saturation",  // English
         "饱和度",      // Simplified Chinese
         "Saturation",  // French
         "彩度",        // Japanese
         "Saturación",  // Spanish
         "Sättigung",   // German
         "Saturação",   // Portuguese
         "Nasycenie",   // Polish
         "飽和度",      // Traditional Chinese
     }}},
    {OWN_SHARPNESS,
     {{
         "Sharpness",     // English
         "清晰度",        // Simplified Chinese
         "Netteté",       // French
         "シャープネス",  // Japanese
         "Nitidez",       // Spanish
         "Schärfe",       // German
         "Nitidez",       // Portuguese
         "Ostrość",       // Polish
         "清晰度",        // Traditional Chinese
     }}},
    {OWN_GAMMA,
     {{
         "Gamma",   // English
         "伽玛",    // Simplified Chinese
         "Gamma",   // French
         "ガンマ",  // Japanese
         "Gamma",   // Spanish
         "Gamma",   // German
         "Gama",    // Portuguese
         "Gamma",   // Polish
         "伽瑪",    // Traditional Chinese
     }}},
    {OWN_WHITE_BALANCE_TEMPERATURE,
     {{
         "White Balance Temperature",             // English
         "白平衡色温",                            // Simplified Chinese
         "Température de la balance des blancs",  // French
         "ホワイトバランス温度",                  // Japanese
         "Temperatura del balance de blancos",    // Spanish
         "Weißabgleich-Farbtemperatur",           // German
         "Temperatura do balanço de branco",      // Portuguese
         "Temperatura balansu bieli",             // Polish
         "白平衡色溫",                            // Traditional Chinese
     }}},
    {OWN_GAIN,
     {{
         "Gain",         // English
         "增益",         // Simplified Chinese
         "Gain",         // French
         "ゲイン",       // Japanese
         "Ganancia",     // Spanish
         "Verstärkung",  // German
         "Ganho",        // Portuguese
         "Wzmocnienie",  // Polish
         "增益",         // Traditional Chinese
     }}},
    {OWN_BACKLIGHT_COMPENSATION,
     {{
         "Backlight Compensation",       // English
         "背光补偿",                     // Simplified Chinese
         "Compensation du contre-jour",  // French
         "逆光補正",                     // Japanese
         "Compensación de contraluz",    // Spanish
         "Gegenlichtausgleich",          // German
         "Compensação de contraluz",     // Portuguese
         "Kompensacja podświetlenia",    // Polish
         "背光補償",                     // Traditional Chinese
     }}},
    {OWN_POWER_LINE_FREQUENCY,
     {{
         "Power Line Frequency",            // English
         "电源频率",                        // Simplified Chinese
         "Fréquence du secteur",            // French
         "電源周波数",                      // Japanese
         "Frecuencia de la red eléctrica",  // Spanish
         "Netzfrequenz",                    // German
         "Frequência da rede elétrica",     // Portuguese
         "Częstotliwość sieci",             // Polish
         "電源頻率",                        // Traditional Chinese
     }}},
    {OWN_PAGE_AUDIO_INPUT,
     {{
         "Audio Input",       // English
         "音频输入",          // Simplified Chinese
         "Entrée audio",      // French
         "オーディオ入力",    // Japanese
         "Entrada de audio",  // Spanish
         "Audioeingang",      // German
         "Entrada de áudio",  // Portuguese
         "Wejście audio",     // Polish
         "音訊輸入",          // Traditional Chinese
     }}},
    {OWN_VOLUME_PERCENT,
     {{
         "Volume (%)",      // English
         "音量 (%)",        // Simplified Chinese
         "Volume (%)",      // French
         "音量 (%)",        // Japanese
         "Volumen (%)",     // Spanish
         "Lautstärke (%)",  // German
         "Volume (%)",      // Portuguese
         "Głośność (%)",    // Polish
         "音量 (%)",        // Traditional Chinese
     }}},
    {OWN_MUTE,
     {{
         "Mute",        // English
         "静音",        // Simplified Chinese
         "Muet",        // French
         "ミュート",    // Japanese
         "Silenciar",   // Spanish
         "Stumm",       // German
         "Mudo",        // Portuguese
         "Wyciszenie",  // Polish
         "靜音",        // Traditional Chinese
     }}},
    {OWN_PAGE_STREAM_FORMAT,
     {{
         "Stream Format",            // English
         "流格式",                   // Simplified Chinese
         "Format du flux",           // French
         "ストリーム形式",           // Japanese
         "Formato de la secuencia",  // Spanish
         "Datenstromformat",         // German
         "Formato do fluxo",         // Portuguese
         "Format strumienia",        // Polish
         "串流格式",                 // Traditional Chinese
     }}},
    {OWN_VIDEO_FORMAT,
     {{
         "Video Format",      // English
         "视频格式",          // Simplified Chinese
         "Format vidéo",      // French
         "ビデオ形式",        // Japanese
         "Formato de vídeo",  // Spanish
         "Videoformat",       // German
         "Formato de vídeo",  // Portuguese
         "Format wideo",      // Polish
         "視訊格式",          // Traditional Chinese
     }}},
    {OWN_PAGE_VIDEO_TRANSFER,
     {{
         "Video Transfer",          // English
         "视频传输",                // Simplified Chinese
         "Transfert vidéo",         // French
         "ビデオ転送",              // Japanese
         "Transferencia de vídeo",  // Spanish
         "Videoübertragung",        // German
         "Transferência de vídeo",  // Portuguese
         "Transfer wideo",          // Polish
         "視訊傳輸",                // Traditional Chinese
     }}},
    {OWN_OUTPUT_SIZE,
     {{
         "Output size",        // English
         "输出大小",           // Simplified Chinese
         "Taille de sortie",   // French
         "出力サイズ",         // Japanese
         "Tamaño de salida",   // Spanish
         "Ausgabegröße",       // German
         "Tamanho de saída",   // Portuguese
         "Rozmiar wyjściowy",  // Polish
         "輸出大小",           // Traditional Chinese
     }}},
    {OWN_INPUT_SIZE,
     {{
         "Input size",            // English
         "输入大小",              // Simplified Chinese
         "Taille de l'entrée",    // French
         "入力サイズ",            // Japanese
         "Tamaño de la entrada",  // Spanish
         "Eingabegröße",          // German
         "Tamanho da entrada",    // Portuguese
         "Rozmiar wejściowy",     // Polish
         "輸入大小",              // Traditional Chinese
     }}},
    // Messages of our own: new rows go here, in the order of OwnTextId.
}};

const char* OwnText(OwnTextId id, int languageIndex) {
  if (id < 0 || id >= OWN_TEXT_COUNT) return "";
  return OwnTextTable[id].text[ClampLanguageIndex(languageIndex)];
}

std::string OwnTextForEnglish(const std::string& english, int languageIndex) {
  for (const OwnTextRow& row : OwnTextTable)
    if (english == row.text[kLangEnglish]) return row.text[ClampLanguageIndex(languageIndex)];
  return english;
}
