// The menu labels. The command rows come first, then the popups; the Capture
// popup's label lacks its closing parenthesis in most languages, as it always has.
#include "i18n/menu_label_table.h"

#include "res/menu_ids.h"

constexpr std::array<MenuLabelRow, kMenuLabelRowCount> MenuLabelTable = {{
    {{MenuLabelTarget::kCommand, menu_id::kSetCaptureFolder},
     {{
         "Set capture file Folder...(&S)",                      // English
         "录像文件路径...(&S)",                                 // Simplified Chinese
         "Manière de document d'enregistrement visuel...(&S)",  // French
         "ビデオ録画文書の方法...(&S)",                         // Japanese
         "Manera del documento de la grabación video...(&S)",   // Spanish
         "Videoaufzeichnung Dokumentweise...(&S)",              // German
         "Maneira do original da gravação video...(&S)",        // Portuguese
         "Set capture file Folder...(&S)",                      // Polish
         "錄像文件路徑...(&S)",                                 // Traditional Chinese
     }}},
    {{MenuLabelTarget::kCommand, menu_id::kSetSnapshotFolder},
     {{
         "Set snapshot file Folder...(&N)",        // English
         "静态图片路径...(&N)",                    // Simplified Chinese
         "Manière statique d'image...(&N)",        // French
         "静的な映像の方法...(&N)",                // Japanese
         "Manera estática del cuadro...(&N)",      // Spanish
         "Statische Abbildung Weise...(&N)",       // German
         "Maneira de estática do retrato...(&N)",  // Portuguese
         "Set snapshot file Folder...(&N)",        // Polish
         "鏡像文件路徑...(&N)",                    // Traditional Chinese
     }}},
    {{MenuLabelTarget::kCommand, menu_id::kResetFileNumbers},
     {{
         "File index reset(&R)",  // English
         "重置(&R)",              // Simplified Chinese
         "Remise(&R)",            // French
         "調整(&R)",              // Japanese
         "Reajuste(&R)",          // Spanish
         "Zurückstellen(&R)",     // German
         "Restauração(&R)",       // Portuguese
         "File index reset(&R)",  // Polish
         "重置(&R)",              // Traditional Chinese
     }}},
    {{MenuLabelTarget::kCommand, menu_id::kAppExit},
     {{
         "Exit(&X)",       // English
         "退出(&X)",       // Simplified Chinese
         "Quitter(&X)",    // French
         "退出(&X)",       // Japanese
         "salir(&X)",      // Spanish
         "auftreten(&X)",  // German
         "sair(&X)",       // Portuguese
         "wyjsc(&X)",      // Polish
         "退出(&X)",       // Traditional Chinese
     }}},
    {{MenuLabelTarget::kCommand, menu_id::kPreview},
     {{
         "Preview(&P)",      // English
         "预览(&P)",         // Simplified Chinese
         "aperçu(&P)",       // French
         "プレビュー(&P)",   // Japanese
         "preestreno(&P)",   // Spanish
         "Vorschau(&P)",     // German
         "pré-estréia(&P)",  // Portuguese
         "nowosc(&P)",       // Polish
         "預覽(&P)",         // Traditional Chinese
     }}},
    {{MenuLabelTarget::kCommand, menu_id::kSnapshot},
     {{
         "Snap Shot(&P)",          // English
         "拍照(&P)",               // Simplified Chinese
         "Prendre une photo(&P)",  // French
         "写真を撮る(&P)",         // Japanese
         "foto(&P)",               // Spanish
         "Fotographieren(&P)",     // German
         "foto(&P)",               // Portuguese
         "zdjecie(&P)",            // Polish
         "拍照(&P)",               // Traditional Chinese
     }}},
    {{MenuLabelTarget::kCommand, menu_id::kStillSize[0]},
     {{
         "Still image capture",             // English
         "普通(预览大小)",                  // Simplified Chinese
         "Capture statique d'image",        // French
         "静的なイメージの捕獲",            // Japanese
         "Captura estática de la imagen",   // Spanish
         "Statische Bildsicherung",         // German
         "Captação de estática da imagem",  // Portuguese
         "Still image capture",             // Polish
         "普通(預覽大小)",                  // Traditional Chinese
     }}},
    {{MenuLabelTarget::kCommand, menu_id::kStillSize[2]},
     {{
         "Still image capture(300K)",             // English
         "静态图像捕获(300K)",                    // Simplified Chinese
         "Capture statique d'image(300K)",        // French
         "静的なイメージの捕獲(300K)",            // Japanese
         "Captura estática de la imagen(300K)",   // Spanish
         "Statische Bildsicherung(300K)",         // German
         "Captação de estática da imagem(300K)",  // Portuguese
         "Still image capture(300K)",             // Polish
         "靜態圖像捕獲(300K)",                    // Traditional Chinese
     }}},
    {{MenuLabelTarget::kCommand, menu_id::kStillSize[3]},
     {{
         "Still image capture(480K)",             // English
         "静态图像捕获(480K)",                    // Simplified Chinese
         "Capture statique d'image(480K)",        // French
         "静的なイメージの捕獲(480K)",            // Japanese
         "Captura estática de la imagen(480K)",   // Spanish
         "Statische Bildsicherung(480K)",         // German
         "Captação de estática da imagem(480K)",  // Portuguese
         "Still image capture(480K)",             // Polish
         "靜態圖像捕獲(480K)",                    // Traditional Chinese
     }}},
    {{MenuLabelTarget::kCommand, menu_id::kStillSize[4]},
     {{
         "Still image capture(1.3M)",             // English
         "静态图像捕获(1.3M)",                    // Simplified Chinese
         "Capture statique d'image(1.3M)",        // French
         "静的なイメージの捕獲(1.3M)",            // Japanese
         "Captura estática de la imagen(1.3M)",   // Spanish
         "Statische Bildsicherung(1.3M)",         // German
         "Captação de estática da imagem(1.3M)",  // Portuguese
         "Still image capture(1.3M)",             // Polish
         "靜態圖像捕獲(1.3M)",                    // Traditional Chinese
     }}},
    {{MenuLabelTarget::kCommand, menu_id::kStillSize[5]},
     {{
         "Still image capture(2M)",             // English
         "静态图像捕获(2M)",                    // Simplified Chinese
         "Capture statique d'image(2M)",        // French
         "静的なイメージの捕獲(2M)",            // Japanese
         "Captura estática de la imagen(2M)",   // Spanish
         "Statische Bildsicherung(2M)",         // German
         "Captação de estática da imagem(2M)",  // Portuguese
         "Still image capture(2M)",             // Polish
         "靜態圖像捕獲(2M)",                    // Traditional Chinese
     }}},
    {{MenuLabelTarget::kCommand, menu_id::kStillSize[7]},
     {{
         "Still image capture(5M)",             // English
         "静态图像捕获(5M)",                    // Simplified Chinese
         "Capture statique d'image(5M)",        // French
         "静的なイメージの捕獲(5M)",            // Japanese
         "Captura estática de la imagen(5M)",   // Spanish
         "Statische Bildsicherung(5M)",         // German
         "Captação de estática da imagem(5M)",  // Portuguese
         "Still image capture(5M)",             // Polish
         "靜態圖像捕獲(5M)",                    // Traditional Chinese
     }}},
    {{MenuLabelTarget::kCommand, menu_id::kStillSize[8]},
     {{
         "Still image capture(8M)",             // English
         "静态图像捕获(8M)",                    // Simplified Chinese
         "Capture statique d'image(8M)",        // French
         "静的なイメージの捕獲(8M)",            // Japanese
         "Captura estática de la imagen(8M)",   // Spanish
         "Statische Bildsicherung(8M)",         // German
         "Captação de estática da imagem(8M)",  // Portuguese
         "Still image capture(8M)",             // Polish
         "靜態圖像捕獲(8M)",                    // Traditional Chinese
     }}},
    {{MenuLabelTarget::kCommand, menu_id::kStartStopCapture},
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
    {{MenuLabelTarget::kCommand, menu_id::kFormatAvi},
     {{
         "AVI",      // English
         "AVI格式",  // Simplified Chinese
         "AVI",      // French
         "AVI",      // Japanese
         "AVI",      // Spanish
         "AVI",      // German
         "AVI",      // Portuguese
         "AVI",      // Polish
         "AVI格式",  // Traditional Chinese
     }}},
    {{MenuLabelTarget::kCommand, menu_id::kFormatWmv},
     {{
         "WMV",      // English
         "WMV格式",  // Simplified Chinese
         "WMV",      // French
         "WMV",      // Japanese
         "WMV",      // Spanish
         "WMV",      // German
         "WMV",      // Portuguese
         "WMV",      // Polish
         "WMV格式",  // Traditional Chinese
     }}},
    {{MenuLabelTarget::kCommand, menu_id::kRecordAudio},
     {{
         "Record Audio(&A)",       // English
         "启用录音(&A)",           // Simplified Chinese
         "Acoustique record(&A)",  // French
         "記録的な音声(&A)",       // Japanese
         "Audio de registro(&A)",  // Spanish
         "RekordAudio(&A)",        // German
         "Áudio Record(&A)",       // Portuguese
         "Record Audio(&A)",       // Polish
         "啟用錄音(&A)",           // Traditional Chinese
     }}},
    {{MenuLabelTarget::kCommand, menu_id::kSetFrameRate},
     {{
         "Set Frame rate(&F)",               // English
         "设置帧率(&F)",                     // Simplified Chinese
         "Placez le taux de vue(&F)",        // French
         "フレーム率を置きなさい(&F)",       // Japanese
         "Fije la tarifa del capítulo(&F)",  // Spanish
         "Stellen Sie Feldrate ein(&F)",     // German
         "Ajuste a taxa do quadro(&F)",      // Portuguese
         "Set Frame rate(&F)",               // Polish
         "設置幀率(&F)",                     // Traditional Chinese
     }}},
    {{MenuLabelTarget::kCommand, menu_id::kRecordTimeLimit},
     {{
         "Record time limit(&L)",                   // English
         "限时录制(&L)",                            // Simplified Chinese
         "Transcription de délai(&L)",              // French
         "制限時間の転写 (&L)",                     // Japanese
         "Transcripción del límite de tiempo(&L)",  // Spanish
         "Grenzzeitübertragen(&L)",                 // German
         "Transcrever do limite de tempo(&L)",      // Portuguese
         "Record time limit(&L)",                   // Polish
         "限時錄制(&L)",                            // Traditional Chinese
     }}},
    {{MenuLabelTarget::kCommand, menu_id::kVideoSizeSetting},
     {{
         "Distinguish Setting(&S)",                // English
         "分辨率设置(&S)",                         // Simplified Chinese
         "Distinguez le réglage(&S)",              // French
         "設定を区別しなさい(&S)",                 // Japanese
         "Distinga fijar(&S)",                     // Spanish
         "Unterscheiden Sie die Einstellung(&S)",  // German
         "Distinga o ajuste(&S)",                  // Portuguese
         "Distinguish Setting(&S)",                // Polish
         "分辨率設置(&S)",                         // Traditional Chinese
     }}},
    {{MenuLabelTarget::kCommand, menu_id::kAppAbout},
     {{
         "About Ostrel(&A)...",        // English
         "关于  Ostrel(&A)...",        // Simplified Chinese
         "Au sujet de Ostrel(&A)...",  // French
         "について Ostrel(&A)...",     // Japanese
         "Sobre Ostrel(&A)...",        // Spanish
         "Über Ostrel(&A)...",         // German
         "Sobre Ostrel(&A)...",        // Portuguese
         "About Ostrel(&A)...",        // Polish
         "關于 Ostrel(&A)...",         // Traditional Chinese
     }}},
    {{MenuLabelTarget::kBarPopup, menu_pos::kFile},
     {{
         "File(&F)",      // English
         "文件(&F)",      // Simplified Chinese
         "Dossier(&F)",   // French
         "ファイル(&F)",  // Japanese
         "Archivo(&F)",   // Spanish
         "Akte(&F)",      // German
         "Lima(&F)",      // Portuguese
         "File(&F)",      // Polish
         "文件(&F)",      // Traditional Chinese
     }}},
    {{MenuLabelTarget::kBarPopup, menu_pos::kDevice},
     {{
         "Device(&D)",       // English
         "设备(&D)",         // Simplified Chinese
         "Dispositif(&D)",   // French
         "装置(&D)",         // Japanese
         "Dispositivo(&D)",  // Spanish
         "Vorrichtung(&D)",  // German
         "Dispositivo(&D)",  // Portuguese
         "Device(&D)",       // Polish
         "設備(&D)",         // Traditional Chinese
     }}},
    {{MenuLabelTarget::kBarPopup, menu_pos::kOption},
     {{
         "Option(&O)",  // English
         "选项(&O)",    // Simplified Chinese
         "Option(&O)",  // French
         "選択(&O)",    // Japanese
         "Opción(&O)",  // Spanish
         "Wahl(&O)",    // German
         "Opção(&O)",   // Portuguese
         "Option(&O)",  // Polish
         "選項(&O)",    // Traditional Chinese
     }}},
    {{MenuLabelTarget::kBarPopup, menu_pos::kCapture},
     {{
         "Capture(&R)",           // English
         "捕捉(&R)",              // Simplified Chinese
         "Captage de vidéo(&R)",  // French
         "スタンバイ(&R)",        // Japanese
         "captura de video(&R)",  // Spanish
         "Vedioßerwischen(&R)",   // German
         "captura de video(&R)",  // Portuguese
         "nagrywanie wideo(&R)",  // Polish
         "捕獲(&R)",              // Traditional Chinese
     }}},
    {{MenuLabelTarget::kBarPopup, menu_pos::kPreview},
     {{
         "Preview(&P)",      // English
         "预览(&P)",         // Simplified Chinese
         "aperçu(&P)",       // French
         "プレビュー(&P)",   // Japanese
         "preestreno(&P)",   // Spanish
         "Vorschau(&P)",     // German
         "pré-estréia(&P)",  // Portuguese
         "nowosc(&P)",       // Polish
         "預覽(&P)",         // Traditional Chinese
     }}},
    {{MenuLabelTarget::kBarPopup, menu_pos::kHelp},
     {{
         "Help(&H)",   // English
         "帮助(&H)",   // Simplified Chinese
         "Aide(&H)",   // French
         "助け(&H)",   // Japanese
         "Ayuda(&H)",  // Spanish
         "Hilfe(&H)",  // German
         "Ajuda(&H)",  // Portuguese
         "Help(&H)",   // Polish
         "幫助(&H)",   // Traditional Chinese
     }}},
    {{MenuLabelTarget::kCapturePopupItem, menu_pos::kVideoFormat},
     {{
         "Video Format",        // English
         "录像格式",            // Simplified Chinese
         "Format visuel",       // French
         "ビデオフォーマット",  // Japanese
         "Formato video",       // Spanish
         "Videoformat",         // German
         "Formato video",       // Portuguese
         "Video Format",        // Polish
         "錄像格式",            // Traditional Chinese
     }}},
}};
