#include "tools/payloadgen/dsr_translations.h"

#include <stdexcept>
#include <string>

#include "devseries/device_series_io.h"

namespace dsr {
namespace {

// Slot order: en, zh-CN, zh-TW, fr, de, it, ja, ko, pt, es, ru, tr, ar.
const Localized kVinyl = {
    "Generic Vinyl",       "通用乙烯基",  "通用乙烯基", "Vinyle générique", "Generisches Vinyl",
    "Vinile generico",     "汎用塩ビ",    "일반 비닐",  "Vinil genérico",   "Vinilo genérico",
    "Универсальный винил", "Genel Vinil", "فينيل عام"};
const Localized kBanner = {
    "Generic Banner",       "通用横幅布",   "通用橫幅布", "Bâche générique", "Generisches Banner",
    "Banner generico",      "汎用バナー",   "일반 배너",  "Lona genérica",   "Lona genérica",
    "Универсальный баннер", "Genel Branda", "لافتة عامة"};
const Localized kPaper = {
    "Generic Paper",        "通用纸张",    "通用紙張",  "Papier générique", "Generisches Papier",
    "Carta generica",       "汎用紙",      "일반 용지", "Papel genérico",   "Papel genérico",
    "Универсальная бумага", "Genel Kağıt", "ورق عام"};
const Localized kBacklit = {"Generic Backlit",
                            "通用背光膜",
                            "通用背光膜",
                            "Film rétroéclairé générique",
                            "Generische Backlit-Folie",
                            "Pellicola retroilluminata generica",
                            "汎用バックライトフィルム",
                            "일반 백라이트 필름",
                            "Filme backlight genérico",
                            "Película retroiluminada genérica",
                            "Универсальная пленка для подсветки",
                            "Genel Işıklı Film",
                            "فيلم إضاءة خلفية عام"};
const Localized kHeatTransferSheet = {"Generic Heat Transfer Sheet",
                                      "通用热转印纸",
                                      "通用熱轉印紙",
                                      "Feuille de transfert thermique générique",
                                      "Generische Thermotransferfolie",
                                      "Foglio per trasferimento termico generico",
                                      "汎用熱転写シート",
                                      "일반 열전사 시트",
                                      "Folha de transferência térmica genérica",
                                      "Lámina de transferencia térmica genérica",
                                      "Универсальная термотрансферная пленка",
                                      "Genel Isı Transfer Kağıdı",
                                      "ورقة نقل حراري عامة"};

const Localized kFast = {"Fast", "快速",   "快速",   "Rapide", "Schnell", "Veloce", "高速",
                         "고속", "Rápido", "Rápido", "Быстро", "Hızlı",   "سريع"};
const Localized kStandard = {"Standard", "标准",     "標準", "Standard", "Standard",
                             "Standard", "標準",     "표준", "Padrão",   "Estándar",
                             "Стандарт", "Standart", "قياسي"};
const Localized kHigh = {"High Quality",   "高质量",       "高品質",           "Haute qualité",
                         "Hohe Qualität",  "Alta qualità", "高画質",           "고품질",
                         "Alta qualidade", "Alta calidad", "Высокое качество", "Yüksek Kalite",
                         "جودة عالية"};

const Localized kBlack = {"Black", "黑色",  "黑色",  "Noir",   "Schwarz", "Nero", "ブラック",
                          "검정",  "Preto", "Negro", "Черный", "Siyah",   "أسود"};
const Localized kCyan = {"Cyan", "青色",  "青色", "Cyan",    "Cyan",      "Ciano", "シアン",
                         "시안", "Ciano", "Cian", "Голубой", "Camgöbeği", "سماوي"};
const Localized kMagenta = {"Magenta",   "品红色",   "洋紅色", "Magenta", "Magenta",
                            "Magenta",   "マゼンタ", "마젠타", "Magenta", "Magenta",
                            "Пурпурный", "Macenta",  "أرجواني"};
const Localized kYellow = {"Yellow", "黄色",    "黃色",     "Jaune",  "Gelb", "Giallo", "イエロー",
                           "노랑",   "Amarelo", "Amarillo", "Желтый", "Sarı", "أصفر"};

const Localized kConfig = {
    "CMYK (4 colours)", "CMYK（4色）",   "CMYK（4色）",   "CMJN (4 couleurs)", "CMYK (4 Farben)",
    "CMYK (4 colori)",  "CMYK（4色）",   "CMYK (4색)",    "CMYK (4 cores)",    "CMYK (4 colores)",
    "CMYK (4 цвета)",   "CMYK (4 renk)", "CMYK (4 ألوان)"};
const Localized kTesselConfig = {
    "Tessel CMYK (4 colours)",  "Tessel CMYK（4色）",     "Tessel CMYK（4色）",
    "Tessel CMJN (4 couleurs)", "Tessel CMYK (4 Farben)", "Tessel CMYK (4 colori)",
    "Tessel CMYK（4色）",       "Tessel CMYK (4색)",      "Tessel CMYK (4 cores)",
    "Tessel CMYK (4 colores)",  "Tessel CMYK (4 цвета)",  "Tessel CMYK (4 renk)",
    "Tessel CMYK (4 ألوان)"};

// Pieces of the separation names.
const Localized kProcess = {"CMYK", "CMYK", "CMYK", "CMJN", "CMYK", "CMYK", "CMYK",
                            "CMYK", "CMYK", "CMYK", "CMYK", "CMYK", "CMYK"};
const Localized kDual = {"Dual CM",    "双CM",       "雙CM",    "CM double", "Doppel-CM",
                         "CM doppio",  "デュアルCM", "듀얼 CM", "CM duplo",  "CM doble",
                         "Двойной CM", "Çift CM",    "CM مزدوج"};
const Localized kVivid = {"Vivid", "鲜艳",   "鮮豔",   "Vif",   "Lebhaft", "Vivace", "ビビッド",
                          "선명",  "Vívido", "Vívido", "Яркий", "Canlı",   "زاهٍ"};
const Localized kSmooth = {"Smooth",  "平滑",     "平滑",     "Lisse", "Weich",
                           "Morbido", "スムーズ", "부드럽게", "Suave", "Suave",
                           "Плавный", "Yumuşak",  "ناعم"};
const Localized kBacklitLook = {"Backlit",        "背光",           "背光",
                                "Rétroéclairé",   "Hinterleuchtet", "Retroilluminato",
                                "バックライト",   "백라이트",       "Retroiluminado",
                                "Retroiluminado", "Подсветка",      "Arkadan Aydınlatmalı",
                                "إضاءة خلفية"};
const Localized kTransfer = {"Transfer",      "转印",          "轉印",         "Transfert",
                             "Transfer",      "Trasferimento", "転写",         "전사",
                             "Transferência", "Transferencia", "Термоперенос", "Transfer",
                             "نقل حراري"};

const Localized kDefault = {"Default",      "默认",       "預設",   "Par défaut", "Standard",
                            "Predefinito",  "既定",       "기본값", "Padrão",     "Predeterminado",
                            "По умолчанию", "Varsayılan", "افتراضي"};

// Joins the pieces slot by slot with single spaces.
Localized join(std::initializer_list<const Localized*> parts) {
  Localized out;
  for (size_t slot = 0; slot < out.size(); ++slot) {
    for (const Localized* part : parts) {
      if (!out[slot].empty()) out[slot] += ' ';
      out[slot] += (*part)[slot];
    }
  }
  return out;
}

}  // namespace

const Localized& mediaName(Medium medium) {
  switch (medium) {
    case Medium::kVinyl:
      return kVinyl;
    case Medium::kBanner:
      return kBanner;
    case Medium::kPaper:
      return kPaper;
    case Medium::kBacklit:
      return kBacklit;
    case Medium::kHeatTransferSheet:
      return kHeatTransferSheet;
  }
  throw std::logic_error("unknown medium");
}

const Localized& qualityName(Quality quality) {
  switch (quality) {
    case Quality::kFast:
      return kFast;
    case Quality::kStandard:
      return kStandard;
    case Quality::kHigh:
      return kHigh;
  }
  throw std::logic_error("unknown quality");
}

const Localized& inkName(char shortName) {
  switch (shortName) {
    case 'K':
      return kBlack;
    case 'C':
      return kCyan;
    case 'M':
      return kMagenta;
    case 'Y':
      return kYellow;
    default:
      break;
  }
  throw std::logic_error("unknown ink");
}

const Localized& inkConfigName(bool tessel) { return tessel ? kTesselConfig : kConfig; }

Localized separationName(Look look, bool dualCyanMagenta) {
  const Localized* qualifier = &kStandard;
  switch (look) {
    case Look::kStandard:
      qualifier = &kStandard;
      break;
    case Look::kVivid:
      qualifier = &kVivid;
      break;
    case Look::kSmooth:
      qualifier = &kSmooth;
      break;
    case Look::kBacklit:
      qualifier = &kBacklitLook;
      break;
    case Look::kTransfer:
      qualifier = &kTransfer;
      break;
  }
  return dualCyanMagenta ? join({&kProcess, &kDual, qualifier}) : join({&kProcess, qualifier});
}

const Localized& defaultResolutionName() { return kDefault; }

Localized sameInAllLanguages(std::string_view text) {
  Localized out;
  out.fill(std::string(text));
  return out;
}

// The pages a reader assumes for a document without its own list.
Localized firmwareDownloadUrl() {
  Localized out = sameInAllLanguages(devseries::kFirmwareDownloadURLInternational);
  out[xml::kJapanese] = devseries::kFirmwareDownloadURLJapanese;
  return out;
}

}  // namespace dsr
