// An independent reader and writer of keyed archives for the tests: GNUstep's
// NSKeyedUnarchiver and NSKeyedArchiver, the desktop's frameworks re-implemented in the
// open.
//
//   archive_check <in> <out>
//
// Reads from the folder <in>: "pasteboard.bin" (a property list holding an array of
// graphic archives) and every "color-*.bin" and "font-*.bin" (archives whose root is a
// colour or a font), and prints what GNUstep decodes, one value a line:
//
//   installed <name>            a font GNUstep has (others it substitutes)
//   pass <real|raw>             fonts and paragraph styles decoded by GNUstep's classes,
//                               or by stubs that print their keys as stored
//   graphic <class>             then "<key>\t<value>" for every key, then "end"
//   archive <file>\t<value>     a colour or font archive
//   exception <file>\t<reason>  what GNUstep raised instead
//
// Values: "missing", "exception:<reason>", "nil", "string:<text>", "number:x",
// "rect:x y w h", "bool:0|1", "int:n", "float:x", "color:<space> <components>",
// "font:<name>@<size>", "rawfont:<name>@<size> <flags>", "text:<string>" followed by
// "|run:<at> <length>" and that run's attributes ("|NSParagraphStyle=alignment:n" or
// "=rawparagraph:<n|none>"), "image:<w> <h> reps:<n> pixels:<w> <h> <RRGGBBAA>...".
//
// Writes into the folder <out> archives made by NSKeyedArchiver: "collections.bin",
// "color-rgb.bin", "color-white.bin", "font.bin", "image.bin", "text.bin",
// "geometry.bin" (a rectangle and a size) and "graphic.bin" (a text graphic's keys
// written by a stub class).

#import <AppKit/AppKit.h>
#import <Foundation/Foundation.h>

#include <stdio.h>

static NSString* Escaped(NSString* text) {
  NSMutableString* s = [NSMutableString stringWithString:text];
  [s replaceOccurrencesOfString:@"\\" withString:@"\\\\" options:0 range:NSMakeRange(0, [s length])];
  [s replaceOccurrencesOfString:@"\n" withString:@"\\n" options:0 range:NSMakeRange(0, [s length])];
  [s replaceOccurrencesOfString:@"\t" withString:@"\\t" options:0 range:NSMakeRange(0, [s length])];
  [s replaceOccurrencesOfString:@"|" withString:@"\\|" options:0 range:NSMakeRange(0, [s length])];
  return s;
}

static NSString* Number(double v) { return [NSString stringWithFormat:@"%.17g", v]; }

// ---- Fonts and paragraph styles as stored ---------------------------------------------
// Stubs that print the keys of an NSFont or NSParagraphStyle archive as they are, where
// GNUstep's own classes would substitute a font or drop a key. A stub font answers
// everything else as GNUstep's font of its size would, so text storages still decode.

@interface Raw_Font : NSObject {
 @public
  NSString* name;
  double size;
  int flags;
  NSFont* stand_in;
}
@end

@implementation Raw_Font
- (id)initWithCoder:(NSCoder*)coder {
  self = [super init];
  name = [[coder decodeObjectForKey:@"NSName"] retain];
  size = [coder decodeDoubleForKey:@"NSSize"];
  flags = [coder decodeIntForKey:@"NSfFlags"];
  stand_in = [[NSFont userFontOfSize:size] retain];
  return self;
}
- (NSMethodSignature*)methodSignatureForSelector:(SEL)selector {
  NSMethodSignature* own = [super methodSignatureForSelector:selector];
  return own ? own : [stand_in methodSignatureForSelector:selector];
}
- (void)forwardInvocation:(NSInvocation*)invocation {
  [invocation invokeWithTarget:stand_in];
}
@end

// A paragraph style (so text storages keep it) that remembers the stored alignment.
@interface Raw_Paragraph : NSParagraphStyle {
 @public
  NSString* stored_alignment;
}
@end

@implementation Raw_Paragraph
- (id)initWithCoder:(NSCoder*)coder {
  self = [super init];
  stored_alignment =
      [coder containsValueForKey:@"NSAlignment"]
          ? [[NSString alloc] initWithFormat:@"%d", [coder decodeIntForKey:@"NSAlignment"]]
          : @"none";
  return self;
}
@end

static NSString* Describe(id value);

static NSString* Describe_Color(NSColor* color) {
  NSString* space = [color colorSpaceName];
  if ([space isEqualToString:NSCalibratedWhiteColorSpace] ||
      [space isEqualToString:NSDeviceWhiteColorSpace]) {
    CGFloat w, a;
    [color getWhite:&w alpha:&a];
    return [NSString stringWithFormat:@"color:%@ %@ %@", space, Number(w), Number(a)];
  }
  if ([space isEqualToString:NSCalibratedRGBColorSpace] ||
      [space isEqualToString:NSDeviceRGBColorSpace]) {
    CGFloat r, g, b, a;
    [color getRed:&r green:&g blue:&b alpha:&a];
    return [NSString stringWithFormat:@"color:%@ %@ %@ %@ %@", space, Number(r), Number(g),
                                      Number(b), Number(a)];
  }
  return [NSString stringWithFormat:@"color:%@", space];
}

static NSString* Describe_Image(NSImage* image) {
  NSMutableString* s = [NSMutableString
      stringWithFormat:@"image:%@ %@ reps:%lu", Number([image size].width),
                       Number([image size].height), (unsigned long)[[image representations] count]];
  for (NSImageRep* rep in [image representations]) {
    if (![rep isKindOfClass:[NSBitmapImageRep class]]) continue;
    NSBitmapImageRep* bitmap = (NSBitmapImageRep*)rep;
    const NSInteger w = [bitmap pixelsWide], h = [bitmap pixelsHigh];
    [s appendFormat:@" pixels:%ld %ld", (long)w, (long)h];
    for (NSInteger y = 0; y < h; ++y)
      for (NSInteger x = 0; x < w; ++x) {
        NSUInteger p[5] = {0, 0, 0, 255, 0};
        [bitmap getPixel:p atX:x y:y];
        const NSInteger spp = [bitmap samplesPerPixel];
        NSUInteger r = p[0], g = p[0], b = p[0], a = 255;
        if (spp >= 3) {
          g = p[1];
          b = p[2];
        }
        if ([bitmap hasAlpha]) a = p[spp - 1];
        [s appendFormat:@" %02lx%02lx%02lx%02lx", (unsigned long)r, (unsigned long)g,
                        (unsigned long)b, (unsigned long)a];
      }
    break;
  }
  return s;
}

static NSString* Describe_Text(NSAttributedString* text) {
  NSMutableString* s = [NSMutableString stringWithFormat:@"text:%@", Escaped([text string])];
  NSUInteger at = 0;
  const NSUInteger length = [text length];
  while (at < length) {
    NSRange run;
    NSDictionary* attributes = [text attributesAtIndex:at effectiveRange:&run];
    [s appendFormat:@"|run:%lu %lu", (unsigned long)run.location, (unsigned long)run.length];
    for (NSString* key in [[attributes allKeys] sortedArrayUsingSelector:@selector(compare:)]) {
      id value = [attributes objectForKey:key];
      if ([value isKindOfClass:[Raw_Paragraph class]])
        [s appendFormat:@"|%@=rawparagraph:%@", key, ((Raw_Paragraph*)value)->stored_alignment];
      else if ([value isKindOfClass:[NSParagraphStyle class]])
        [s appendFormat:@"|%@=alignment:%ld", key, (long)[value alignment]];
      else
        [s appendFormat:@"|%@=%@", key, Describe(value)];
    }
    at = NSMaxRange(run) > at ? NSMaxRange(run) : at + 1;
  }
  return s;
}

static NSString* Describe(id value) {
  if (value == nil) return @"nil";
  if ([value isKindOfClass:[NSString class]])
    return [NSString stringWithFormat:@"string:%@", Escaped(value)];
  if ([value isKindOfClass:[NSNumber class]])
    return [NSString stringWithFormat:@"number:%@", Number([value doubleValue])];
  if ([value isKindOfClass:[NSColor class]]) return Describe_Color(value);
  if ([value isKindOfClass:[NSFont class]])
    return [NSString stringWithFormat:@"font:%@@%@", [value fontName], Number([value pointSize])];
  if ([value isKindOfClass:[Raw_Font class]]) {
    Raw_Font* f = value;
    return [NSString stringWithFormat:@"rawfont:%@@%@ %d", f->name, Number(f->size), f->flags];
  }
  if ([value isKindOfClass:[NSAttributedString class]]) return Describe_Text(value);
  if ([value isKindOfClass:[NSImage class]]) return Describe_Image(value);
  return [NSString stringWithFormat:@"object:%@", NSStringFromClass([value class])];
}

// ---- Graphics: every key with the decoder of its type ---------------------------------

typedef struct {
  const char* key;
  char type;  // r rectangle, b BOOL, i 32-bit int, f float, o object
} Key;

static const Key Graphic_Keys[] = {
    {"_bounds", 'r'},              {"ctrl_is_locked", 'b'},        {"_isDrawingFill", 'b'},
    {"_fillColor", 'o'},           {"_isDrawingStroke", 'b'},      {"_strokeColor", 'o'},
    {"_strokeWidth", 'f'},         {"_stroke_border_type", 'o'},   {"_fill_type", 'o'},
    {"_fill_Grad_clr1", 'o'},      {"_fill_Grad_clr2", 'o'},       {"_fill_grad_angle", 'f'},
    {"_fill_htch_clr", 'o'},       {"_fill_hatch_type", 'o'},      {"_isFlippedHorizontally", 'b'},
    {"_isFlippedVertically", 'b'}, {"invert_clr", 'b'},            {"gray_Scale", 'b'},
    {"Sepia", 'b'},                {"img_trnsp_val", 'f'},         {"hue_val", 'f'},
    {"sat_val", 'f'},              {"brt_val", 'f'},               {"con_val", 'f'},
    {"srp_val", 'f'},              {"ev_val", 'f'},                {"blr_val", 'f'},
    {"data_source_type", 'i'},     {"rotate_image", 'f'},          {"_file_path", 'o'},
    {"sign_or_fingureprint", 'o'}, {"batch_list_name", 'o'},       {"batch_list_index", 'i'},
    {"_line_ori", 'i'},            {"_line_cap_style", 'i'},       {"alpha_val", 'f'},
    {"alpha_val_stroke", 'f'},     {"text_ctrl_font", 'o'},        {"txt_clr", 'o'},
    {"_Text_contents", 'o'},       {"_shape_type", 'o'},           {"cor_rad_val_val", 'f'},
    {"_barcode_image", 'o'},       {"linear_or_2d", 'i'},          {"barcode_font_index", 'i'},
    {"linear_font_val", 'o'},      {"two_d_font_val", 'o'},        {"header_val", 'o'},
    {"footer_val", 'o'},           {"show_hide_hdr", 'i'},         {"show_hide_ftr", 'i'},
    {"show_hide_val", 'i'},        {"show_val_on_top", 'i'},       {"align_hdr_index", 'i'},
    {"align_ftr_index", 'i'},      {"linear_height_val", 'f'},     {"linear_width_val", 'f'},
    {"qr_size_val", 'i'},          {"qr_version_index", 'i'},      {"qr_ec_index", 'i'},
    {"pdf_hgt_val", 'i'},          {"pdf_wdt_val", 'i'},           {"pdf_ec_val", 'i'},
    {"dm_module_val", 'i'},        {"dm_format_index", 'i'},       {"dm_encoding_index", 'i'},
    {"hdr_margin_val", 'f'},       {"ftr_margin_val", 'f'},        {"val_margin_val", 'f'},
    {"TB_marging_val", 'f'},       {"LR_margin_val", 'f'},         {"value_font_val", 'o'},
    {"header_font_val", 'o'},      {"footer_font_val", 'o'},       {"barcode_hdr_clr_val", 'o'},
    {"barcode_ftr_clr_val", 'o'},  {"barcode_val_clr_val", 'o'},   {"barcode_back_clr_val", 'o'},
    {"barcode_clr_val", 'o'},      {"dpi_val_index", 'i'},         {"dpi_custom_val", 'o'},
    {"barcode_unit_val", 'i'},     {"text_alignmnet", 'i'},        {"text_transfrom_case", 'i'},
    {"text_kerning", 'f'},         {"print_object", 'i'},          {"control_ID", 'o'},
    {"excel_binding", 'b'},        {"excel_col_indx", 'i'},        {"Text_Value", 'o'},
    {"ctrl_is_visible", 'b'},      {"double_star_type", 'i'},      {"polygon_type", 'i'},
};

static NSString* Decode_Key(NSCoder* coder, NSString* key, char type) {
  if (![coder containsValueForKey:key]) return @"missing";
  switch (type) {
    case 'r': {
      const NSRect r = [coder decodeRectForKey:key];
      return [NSString stringWithFormat:@"rect:%@ %@ %@ %@", Number(r.origin.x), Number(r.origin.y),
                                        Number(r.size.width), Number(r.size.height)];
    }
    case 'b': return [NSString stringWithFormat:@"bool:%d", [coder decodeBoolForKey:key] ? 1 : 0];
    case 'i': return [NSString stringWithFormat:@"int:%d", (int)[coder decodeInt32ForKey:key]];
    case 'f': return [NSString stringWithFormat:@"float:%@", Number([coder decodeFloatForKey:key])];
    default: return Describe([coder decodeObjectForKey:key]);
  }
}

@interface CRDGraphic : NSObject {
 @public
  NSMutableArray* lines;
}
@end

@implementation CRDGraphic
- (id)initWithCoder:(NSCoder*)coder {
  self = [super init];
  lines = [[NSMutableArray alloc] init];
  for (size_t i = 0; i < sizeof Graphic_Keys / sizeof Graphic_Keys[0]; ++i) {
    NSString* key = [NSString stringWithUTF8String:Graphic_Keys[i].key];
    NSString* value;
    // One key's exception is reported on its line; the rest are still decoded.
    NS_DURING
      value = Decode_Key(coder, key, Graphic_Keys[i].type);
    NS_HANDLER
      value = [NSString stringWithFormat:@"exception:%@", [localException reason]];
    NS_ENDHANDLER
    [lines addObject:[NSString stringWithFormat:@"%@\t%@", key, value]];
  }
  return self;
}
@end

@interface Shape_Control : CRDGraphic
@end
@implementation Shape_Control
@end
@interface CRDText : CRDGraphic
@end
@implementation CRDText
@end
@interface CRDImage : CRDGraphic
@end
@implementation CRDImage
@end
@interface CRDSignature : CRDGraphic
@end
@implementation CRDSignature
@end
@interface CRDBarcode : CRDGraphic
@end
@implementation CRDBarcode
@end
@interface CRDLine : CRDGraphic
@end
@implementation CRDLine
- (id)initWithCoder:(NSCoder*)coder {
  self = [super initWithCoder:coder];
  for (NSString* key in [NSArray arrayWithObjects:@"_pointsRight", @"_pointsDown", nil])
    [lines addObject:[NSString stringWithFormat:@"%@\t%@", key, Decode_Key(coder, key, 'b')]];
  return self;
}
@end

static id Unarchive(NSData* data, BOOL raw) {
  NSKeyedUnarchiver* u = [[[NSKeyedUnarchiver alloc] initForReadingWithData:data] autorelease];
  if (raw) {
    [u setClass:[Raw_Font class] forClassName:@"NSFont"];
    [u setClass:[Raw_Paragraph class] forClassName:@"NSParagraphStyle"];
  }
  id root = [u decodeObjectForKey:@"root"];
  [u finishDecoding];
  return root;
}

static void Print(NSString* line) { printf("%s\n", [line UTF8String]); }

static void Read_Folder(NSString* folder, BOOL raw) {
  Print(raw ? @"pass raw" : @"pass real");
  NSString* pasteboard = [folder stringByAppendingPathComponent:@"pasteboard.bin"];
  NSData* data = [NSData dataWithContentsOfFile:pasteboard];
  if (data) {
    NSArray* archives = [NSPropertyListSerialization propertyListWithData:data
                                                                  options:NSPropertyListImmutable
                                                                   format:NULL
                                                                    error:NULL];
    if (![archives isKindOfClass:[NSArray class]]) Print(@"exception pasteboard.bin\tnot an array");
    for (NSData* archive in archives) {
      NS_DURING
        CRDGraphic* g = Unarchive(archive, raw);
        Print([NSString stringWithFormat:@"graphic %@", NSStringFromClass([g class])]);
        for (NSString* line in g->lines) Print(line);
        Print(@"end");
      NS_HANDLER
        Print([NSString stringWithFormat:@"exception pasteboard.bin\t%@", [localException reason]]);
      NS_ENDHANDLER
    }
  }
  NSArray* files = [[[NSFileManager defaultManager] contentsOfDirectoryAtPath:folder error:NULL]
      sortedArrayUsingSelector:@selector(compare:)];
  for (NSString* file in files) {
    if (!([file hasPrefix:@"color-"] || [file hasPrefix:@"font-"])) continue;
    NSData* archive = [NSData dataWithContentsOfFile:[folder stringByAppendingPathComponent:file]];
    NS_DURING
      Print([NSString stringWithFormat:@"archive %@\t%@", file, Describe(Unarchive(archive, raw))]);
    NS_HANDLER
      Print([NSString stringWithFormat:@"exception %@\t%@", file, [localException reason]]);
    NS_ENDHANDLER
  }
}

// ---- Archives written by GNUstep -------------------------------------------------------

@interface Written_Graphic : NSObject
@end

@implementation Written_Graphic
- (void)encodeWithCoder:(NSCoder*)coder {
  [coder encodeRect:NSMakeRect(12.5, -3, 200, 80.25) forKey:@"_bounds"];
  [coder encodeBool:YES forKey:@"_isDrawingFill"];
  [coder encodeObject:[NSColor colorWithCalibratedRed:0.25 green:0.5 blue:0.75 alpha:1]
               forKey:@"_fillColor"];
  [coder encodeFloat:2.5f forKey:@"_strokeWidth"];
  [coder encodeInt32:7 forKey:@"qr_size_val"];
  [coder encodeObject:@"GUEST_NAME" forKey:@"control_ID"];
  [coder encodeBool:YES forKey:@"ctrl_is_visible"];
}
@end

@interface Written_Geometry : NSObject
@end

@implementation Written_Geometry
- (void)encodeWithCoder:(NSCoder*)coder {
  [coder encodeRect:NSMakeRect(0.5, 1.25, 300, 0.125) forKey:@"frame"];
  [coder encodeSize:NSMakeSize(612, 792) forKey:@"paper"];
}
@end

static NSImage* Sample_Image(void) {
  // 2 x 2 RGBA, premultiplied: red, half-transparent green / blue, clear.
  NSBitmapImageRep* rep = [[[NSBitmapImageRep alloc] initWithBitmapDataPlanes:NULL
                                                                   pixelsWide:2
                                                                   pixelsHigh:2
                                                                bitsPerSample:8
                                                              samplesPerPixel:4
                                                                     hasAlpha:YES
                                                                     isPlanar:NO
                                                               colorSpaceName:NSDeviceRGBColorSpace
                                                                  bytesPerRow:8
                                                                 bitsPerPixel:32] autorelease];
  const unsigned char pixels[16] = {255, 0, 0, 255, 0, 128, 0, 128, 0, 0, 255, 255, 0, 0, 0, 0};
  memcpy([rep bitmapData], pixels, sizeof pixels);
  NSImage* image = [[[NSImage alloc] initWithSize:NSMakeSize(4, 3)] autorelease];
  [image addRepresentation:rep];
  return image;
}

static NSTextStorage* Sample_Text(void) {
  NSTextStorage* text = [[[NSTextStorage alloc] initWithString:@"Dear Anna, welcome"] autorelease];
  NSFont* font = [NSFont fontWithName:@"DejaVuSans" size:15];
  if (!font) font = [NSFont userFontOfSize:15];
  [text addAttribute:NSFontAttributeName value:font range:NSMakeRange(0, 4)];
  [text addAttribute:NSForegroundColorAttributeName
               value:[NSColor colorWithCalibratedRed:1 green:0 blue:0 alpha:1]
               range:NSMakeRange(5, 4)];
  [text addAttribute:NSKernAttributeName
               value:[NSNumber numberWithDouble:1.5]
               range:NSMakeRange(11, 7)];
  return text;
}

static BOOL Write(NSString* folder, NSString* name, id root, NSString* class_name, Class cls) {
  NSMutableData* data = [NSMutableData data];
  NSKeyedArchiver* a = [[[NSKeyedArchiver alloc] initForWritingWithMutableData:data] autorelease];
  [a setOutputFormat:NSPropertyListBinaryFormat_v1_0];
  if (class_name) [a setClassName:class_name forClass:cls];
  [a encodeObject:root forKey:@"root"];
  [a finishEncoding];
  return [data writeToFile:[folder stringByAppendingPathComponent:name] atomically:YES];
}

static BOOL Write_Folder(NSString* folder) {
  NSDictionary* inner = [NSDictionary dictionaryWithObjectsAndKeys:@"b", @"a",
                                      [NSNumber numberWithInt:-4], @"n", nil];
  NSArray* collections = [NSArray
      arrayWithObjects:@"one", [NSNumber numberWithInt:2], [NSNumber numberWithDouble:3.25],
                       [NSArray arrayWithObjects:@"nested", inner, nil], nil];
  NSFont* font = [NSFont fontWithName:@"DejaVuSans-Bold" size:13.5];
  if (!font) return NO;
  return Write(folder, @"collections.bin", collections, nil, nil) &&
         Write(folder, @"color-rgb.bin",
               [NSColor colorWithCalibratedRed:0.1 green:0.2 blue:0.3 alpha:0.4], nil, nil) &&
         Write(folder, @"color-white.bin", [NSColor colorWithCalibratedWhite:0.75 alpha:1], nil,
               nil) &&
         Write(folder, @"font.bin", font, nil, nil) &&
         Write(folder, @"image.bin", Sample_Image(), nil, nil) &&
         Write(folder, @"text.bin", Sample_Text(), nil, nil) &&
         Write(folder, @"geometry.bin", [[Written_Geometry new] autorelease], nil, nil) &&
         Write(folder, @"graphic.bin", [[Written_Graphic new] autorelease], @"CRDText",
               [Written_Graphic class]);
}

int main(int argc, char** argv) {
  NSAutoreleasePool* pool = [NSAutoreleasePool new];
  if (argc != 3) {
    fprintf(stderr, "usage: archive_check <in> <out>\n");
    return 2;
  }
  [NSApplication sharedApplication];  // the display back end, which fonts need
  NSString* in = [NSString stringWithUTF8String:argv[1]];
  NSString* out = [NSString stringWithUTF8String:argv[2]];
  for (NSString* name in [[[NSFontManager sharedFontManager] availableFonts]
           sortedArrayUsingSelector:@selector(compare:)])
    Print([NSString stringWithFormat:@"installed %@", name]);
  Read_Folder(in, NO);
  Read_Folder(in, YES);
  const BOOL written = Write_Folder(out);
  if (!written) fprintf(stderr, "archive_check: could not write the archives\n");
  fflush(stdout);
  [pool release];
  return written ? 0 : 1;
}
