// Ostrel's own texts in the nine languages.
#include "i18n/own_text_table.h"

// One row a text, one line a language: long messages keep their line whole.
// clang-format off
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
    {OWN_REASON_FOLDER_MISSING,
     {{
         "The folder %1 does not exist.",  // English
         "文件夹 %1 不存在。",  // Simplified Chinese
         "Le dossier %1 n'existe pas.",  // French
         "フォルダー %1 が存在しません。",  // Japanese
         "La carpeta %1 no existe.",  // Spanish
         "Der Ordner %1 existiert nicht.",  // German
         "A pasta %1 não existe.",  // Portuguese
         "Folder %1 nie istnieje.",  // Polish
         "資料夾 %1 不存在。",  // Traditional Chinese
     }}},
    {OWN_REASON_FOLDER_READ_ONLY,
     {{
         "The folder %1 cannot be written to.",  // English
         "无法写入文件夹 %1。",  // Simplified Chinese
         "Impossible d'écrire dans le dossier %1.",  // French
         "フォルダー %1 に書き込めません。",  // Japanese
         "No se puede escribir en la carpeta %1.",  // Spanish
         "In den Ordner %1 kann nicht geschrieben werden.",  // German
         "Não é possível gravar na pasta %1.",  // Portuguese
         "Nie można zapisywać w folderze %1.",  // Polish
         "無法寫入資料夾 %1。",  // Traditional Chinese
     }}},
    {OWN_REASON_NO_ROOM_LEFT,
     {{
         "There is no room left on the disk of %1.",  // English
         "%1 所在的磁盘没有剩余空间。",  // Simplified Chinese
         "Il ne reste plus de place sur le disque de %1.",  // French
         "%1 のディスクに空き容量がありません。",  // Japanese
         "No queda espacio en el disco de %1.",  // Spanish
         "Auf dem Datenträger von %1 ist kein Platz mehr frei.",  // German
         "Não há mais espaço no disco de %1.",  // Portuguese
         "Na dysku folderu %1 nie ma już miejsca.",  // Polish
         "%1 所在的磁碟沒有剩餘空間。",  // Traditional Chinese
     }}},
    {OWN_REASON_DISK_NEARLY_FULL,
     {{
         "The disk of %1 is nearly full: the clip was finished with what had been recorded.",  // English
         "%1 所在的磁盘快满了：已用录下的内容完成了片段。",  // Simplified Chinese
         "Le disque de %1 est presque plein : le clip a été terminé avec ce qui avait été enregistré.",  // French
         "%1 のディスクがほぼいっぱいです。録画済みの内容でクリップを完成させました。",  // Japanese
         "El disco de %1 está casi lleno: el clip se ha cerrado con lo que se había grabado.",  // Spanish
         "Der Datenträger von %1 ist fast voll: Der Clip wurde mit dem bisher Aufgenommenen abgeschlossen.",  // German
         "O disco de %1 está quase cheio: o clipe foi concluído com o que havia sido gravado.",  // Portuguese
         "Dysk folderu %1 jest prawie pełny: klip zakończono na tym, co zostało nagrane.",  // Polish
         "%1 所在的磁碟快滿了：已用錄下的內容完成了短片。",  // Traditional Chinese
     }}},
    {OWN_REASON_FORMAT_CANNOT_BE_RECORDED,
     {{
         "The camera's current format cannot be recorded.",  // English
         "无法录制摄像头的当前格式。",  // Simplified Chinese
         "Le format actuel de la caméra ne peut pas être enregistré.",  // French
         "カメラの現在の形式は録画できません。",  // Japanese
         "El formato actual de la cámara no se puede grabar.",  // Spanish
         "Das aktuelle Format der Kamera kann nicht aufgenommen werden.",  // German
         "O formato atual da câmera não pode ser gravado.",  // Portuguese
         "Bieżącego formatu kamery nie można nagrać.",  // Polish
         "無法錄製攝影機的目前格式。",  // Traditional Chinese
     }}},
    {OWN_REASON_CLIP_FORMAT_UNKNOWN,
     {{
         "The clip format %1 is neither AVI nor WMV.",  // English
         "片段格式 %1 既不是 AVI 也不是 WMV。",  // Simplified Chinese
         "Le format de clip %1 n'est ni AVI ni WMV.",  // French
         "クリップ形式 %1 は AVI でも WMV でもありません。",  // Japanese
         "El formato de clip %1 no es ni AVI ni WMV.",  // Spanish
         "Das Clipformat %1 ist weder AVI noch WMV.",  // German
         "O formato de clipe %1 não é AVI nem WMV.",  // Portuguese
         "Format klipu %1 nie jest ani AVI, ani WMV.",  // Polish
         "短片格式 %1 既不是 AVI 也不是 WMV。",  // Traditional Chinese
     }}},
    {OWN_REASON_CAMERA_UNPLUGGED,
     {{
         "The camera was unplugged or stopped sending pictures.",  // English
         "摄像头已被拔出或不再发送画面。",  // Simplified Chinese
         "La caméra a été débranchée ou n'envoie plus d'images.",  // French
         "カメラが取り外されたか、映像を送らなくなりました。",  // Japanese
         "La cámara se ha desconectado o ha dejado de enviar imágenes.",  // Spanish
         "Die Kamera wurde abgezogen oder sendet keine Bilder mehr.",  // German
         "A câmera foi desconectada ou parou de enviar imagens.",  // Portuguese
         "Kamera została odłączona lub przestała przesyłać obraz.",  // Polish
         "攝影機已被拔除或不再傳送畫面。",  // Traditional Chinese
     }}},
    {OWN_REASON_CLIP_NOT_WRITTEN,
     {{
         "The clip could not be written.",  // English
         "无法写入片段。",  // Simplified Chinese
         "Le clip n'a pas pu être écrit.",  // French
         "クリップを書き込めませんでした。",  // Japanese
         "No se pudo escribir el clip.",  // Spanish
         "Der Clip konnte nicht geschrieben werden.",  // German
         "Não foi possível gravar o clipe.",  // Portuguese
         "Nie udało się zapisać klipu.",  // Polish
         "無法寫入短片。",  // Traditional Chinese
     }}},
    {OWN_REASON_CLIP_NOT_WRITTEN_BECAUSE,
     {{
         "The clip could not be written: %1",  // English
         "无法写入片段：%1",  // Simplified Chinese
         "Le clip n'a pas pu être écrit : %1",  // French
         "クリップを書き込めませんでした: %1",  // Japanese
         "No se pudo escribir el clip: %1",  // Spanish
         "Der Clip konnte nicht geschrieben werden: %1",  // German
         "Não foi possível gravar o clipe: %1",  // Portuguese
         "Nie udało się zapisać klipu: %1",  // Polish
         "無法寫入短片：%1",  // Traditional Chinese
     }}},
    {OWN_REASON_FOLDER_REPLACED,
     {{
         "The folder %1 no longer exists. Ostrel uses %2 instead.",  // English
         "文件夹 %1 已不存在。Ostrel 改用 %2。",  // Simplified Chinese
         "Le dossier %1 n'existe plus. Ostrel utilise %2 à la place.",  // French
         "フォルダー %1 はもう存在しません。Ostrel は代わりに %2 を使います。",  // Japanese
         "La carpeta %1 ya no existe. Ostrel usa %2 en su lugar.",  // Spanish
         "Der Ordner %1 existiert nicht mehr. Ostrel verwendet stattdessen %2.",  // German
         "A pasta %1 não existe mais. O Ostrel usa %2 em seu lugar.",  // Portuguese
         "Folder %1 już nie istnieje. Ostrel używa zamiast niego %2.",  // Polish
         "資料夾 %1 已不存在。Ostrel 改用 %2。",  // Traditional Chinese
     }}},
    {OWN_REASON_NO_FREE_CLIP_NUMBER,
     {{
         "No clip number is free: %1 exists and no number comes after it.",  // English
         "没有可用的片段编号：%1 已存在，其后也没有编号。",  // Simplified Chinese
         "Aucun numéro de clip n'est libre : %1 existe et aucun numéro ne vient après.",  // French
         "空いているクリップ番号がありません。%1 が存在し、その後に続く番号がありません。",  // Japanese
         "No queda ningún número de clip libre: %1 existe y no hay ningún número después.",  // Spanish
         "Keine Clipnummer ist frei: %1 existiert, und danach kommt keine Nummer mehr.",  // German
         "Nenhum número de clipe está livre: %1 existe e não há número depois dele.",  // Portuguese
         "Brak wolnego numeru klipu: %1 istnieje i nie ma po nim kolejnego numeru.",  // Polish
         "沒有可用的短片編號：%1 已存在，其後也沒有編號。",  // Traditional Chinese
     }}},
    {OWN_FRAMES_LEFT_OUT,
     {{
         "%1 frames could not be recorded: the computer was too busy to keep up with the camera.",  // English
         "有 %1 帧未能录制：计算机太忙，跟不上摄像头。",  // Simplified Chinese
         "%1 images n'ont pas pu être enregistrées : l'ordinateur était trop occupé pour suivre la caméra.",  // French
         "%1 フレームを録画できませんでした。コンピューターが忙しすぎてカメラに追いつけませんでした。",  // Japanese
         "No se pudieron grabar %1 fotogramas: el equipo estaba demasiado ocupado para seguir el ritmo de la cámara.",  // Spanish
         "%1 Bilder konnten nicht aufgenommen werden: Der Computer war zu ausgelastet, um mit der Kamera mitzuhalten.",  // German
         "Não foi possível gravar %1 quadros: o computador estava ocupado demais para acompanhar a câmera.",  // Portuguese
         "Nie udało się nagrać %1 klatek: komputer był zbyt obciążony, by nadążyć za kamerą.",  // Polish
         "有 %1 幀未能錄製：電腦太忙，跟不上攝影機。",  // Traditional Chinese
     }}},
    {OWN_REASON_MICROPHONE_UNPLUGGED,
     {{
         "The microphone was unplugged; the clip keeps the sound recorded until then.",  // English
         "麦克风已被拔出；片段保留在此之前录制的声音。",  // Simplified Chinese
         "Le microphone a été débranché ; le clip garde le son enregistré jusque-là.",  // French
         "マイクが取り外されました。クリップにはそれまでに録音された音声が残ります。",  // Japanese
         "El micrófono se ha desconectado; el clip conserva el sonido grabado hasta entonces.",  // Spanish
         "Das Mikrofon wurde abgezogen; der Clip behält den bis dahin aufgenommenen Ton.",  // German
         "O microfone foi desconectado; o clipe mantém o som gravado até então.",  // Portuguese
         "Mikrofon został odłączony; klip zachowuje dźwięk nagrany do tej chwili.",  // Polish
         "麥克風已被拔除；短片保留在此之前錄製的聲音。",  // Traditional Chinese
     }}},
}};
// clang-format on

const char* OwnText(OwnTextId id, int languageIndex) {
  if (id < 0 || id >= OWN_TEXT_COUNT) return "";
  return OwnTextTable[id].text[ClampLanguageIndex(languageIndex)];
}

std::string OwnTextForEnglish(const std::string& english, int languageIndex) {
  for (const OwnTextRow& row : OwnTextTable)
    if (english == row.text[kLangEnglish]) return row.text[ClampLanguageIndex(languageIndex)];
  return english;
}

std::string FillOwnText(OwnTextId id, int languageIndex, const std::string& first,
                        const std::string& second) {
  const std::string text = OwnText(id, languageIndex);
  std::string filled;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == '1' || text[i + 1] == '2')) {
      filled += text[i + 1] == '1' ? first : second;
      ++i;
    } else {
      filled += text[i];
    }
  }
  return filled;
}
