<?xml version="1.0" encoding="UTF-8"?>
<!--
  Korelle help pages: turns the page sources of source/ (help.xml, root
  <help>; about.xml, root <about>) into the XHTML pages the program folder
  ships as Help/help.xml and Help/about.xml. The build runs it (xsltproc);
  browsers show the result as it is, with no stylesheet processing of their
  own. XSLT 1.0.

  The output has no whitespace-only text and no DOCTYPE: the profile library
  rewrites about.xml through its DOM (which drops such text and refuses a
  DTD) each time the About page is opened.
-->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
                xmlns="http://www.w3.org/1999/xhtml">

  <xsl:output method="xml" encoding="UTF-8" indent="no"/>

  <!-- The program's version, from the build. -->
  <xsl:param name="version" select="'0.0'"/>

  <xsl:strip-space elements="help about intro section list steps step glossary entry table head row note tip caution device before after unreported"/>

  <!-- ================================================================
       Page frame
       ================================================================ -->

  <xsl:template name="css">
    <style type="text/css"><xsl:text>
html { background: #121418; }
body {
  margin: 0; background: #121418; color: #dce0e6;
  font-family: "Segoe UI", "Segoe UI Variable", Tahoma, "DejaVu Sans", "Liberation Sans", Arial, sans-serif;
  font-size: 15px; line-height: 1.6;
  -webkit-text-size-adjust: 100%;
}
a { color: #ff6020; text-decoration: none; }
a:hover { text-decoration: underline; }
::selection { background: #ff6020; color: #121418; }

/* ---------- header ---------- */
.masthead {
  border-top: 4px solid #ff6020;
  background: #181b20;
  border-bottom: 1px solid #262a32;
}
.masthead-inner {
  max-width: 1040px; margin: 0 auto; padding: 26px 32px 24px 32px;
  overflow: hidden;
}
.brand {
  display: inline-block; font-size: 13px; font-weight: 700; letter-spacing: 0.38em;
  text-transform: uppercase; color: #ffffff;
}
.brand-mark {
  display: inline-block; width: 10px; height: 10px; margin-right: 12px;
  background: #ff6020; vertical-align: 1px;
  -webkit-transform: rotate(45deg); transform: rotate(45deg);
}
.masthead h1 {
  margin: 14px 0 4px 0; font-size: 34px; line-height: 1.15; font-weight: 300;
  color: #ffffff; letter-spacing: 0.01em;
}
.masthead h1 strong { font-weight: 700; }
.masthead .sub { margin: 0; color: #9aa3ae; font-size: 15px; }
.badge {
  display: inline-block; margin-left: 10px; padding: 1px 9px;
  border: 1px solid #ff6020; border-radius: 2px; color: #ff6020;
  font-size: 11px; font-weight: 700; letter-spacing: 0.14em; text-transform: uppercase;
  vertical-align: 2px;
}
.topnav { float: right; margin-top: 2px; font-size: 12px; letter-spacing: 0.12em; text-transform: uppercase; }
.topnav a { color: #9aa3ae; margin-left: 18px; }
.topnav a:hover { color: #ff6020; text-decoration: none; }

/* ---------- layout ---------- */
.wrap { max-width: 1040px; margin: 0 auto; padding: 8px 32px 40px 32px; }
.cols { display: -webkit-box; display: -ms-flexbox; display: flex; -ms-flex-align: start; align-items: flex-start; }
.toc {
  -ms-flex: 0 0 220px; flex: 0 0 220px; width: 220px; margin: 32px 40px 0 0;
  position: -webkit-sticky; position: sticky; top: 20px;
  font-size: 13.5px; line-height: 1.45;
}
.toc-title {
  margin: 0 0 10px 0; font-size: 11px; font-weight: 700; letter-spacing: 0.22em;
  text-transform: uppercase; color: #ff6020;
}
.toc ol { list-style: none; margin: 0; padding: 0; }
.toc > ol { border-left: 1px solid #2a2f38; }
.toc li { margin: 0; }
.toc > ol > li > a {
  display: block; padding: 5px 0 5px 14px; margin-left: -1px;
  border-left: 2px solid transparent; color: #dce0e6;
}
.toc > ol > li > a:hover { border-left-color: #ff6020; color: #ffffff; text-decoration: none; }
.toc .num { display: inline-block; width: 26px; color: #ff6020; font-weight: 700; font-size: 12px; }
.toc ol ol { padding: 0 0 6px 40px; }
.toc ol ol a { display: block; padding: 2px 0; color: #9aa3ae; font-size: 12.5px; }
.toc ol ol a:hover { color: #ffffff; text-decoration: none; }
.content { -ms-flex: 1 1 auto; flex: 1 1 auto; min-width: 0; max-width: 720px; }

/* ---------- text ---------- */
.lead { font-size: 17px; line-height: 1.6; color: #e8ebef; margin: 32px 0 20px 0; }
h2 {
  margin: 48px 0 16px 0; padding: 0 0 10px 0; border-bottom: 1px solid #2a2f38;
  font-size: 23px; line-height: 1.25; font-weight: 600; color: #ffffff;
}
h2 .num { color: #ff6020; font-weight: 700; margin-right: 14px; font-size: 19px; letter-spacing: 0.04em; }
h3 { margin: 30px 0 10px 0; font-size: 17px; font-weight: 600; color: #ffffff; }
h3:before {
  content: ""; display: inline-block; width: 6px; height: 6px; margin: 0 10px 0 0;
  background: #ff6020; vertical-align: 3px;
}
h4 { margin: 22px 0 6px 0; font-size: 13px; font-weight: 700; letter-spacing: 0.12em; text-transform: uppercase; color: #9aa3ae; }
p { margin: 0 0 12px 0; }
ul, ol { margin: 0 0 14px 0; padding-left: 22px; }
li { margin: 0 0 6px 0; }
ul.bullets { list-style: none; padding-left: 0; }
ul.bullets > li { position: relative; padding-left: 20px; }
ul.bullets > li:before {
  content: ""; position: absolute; left: 2px; top: 0.68em; width: 7px; height: 2px; background: #ff6020;
}
strong { color: #ffffff; font-weight: 600; }
em { font-style: italic; }
.term { color: #ffffff; font-weight: 600; border-bottom: 1px dotted #ff6020; }

/* on-screen captions, function names, keys, messages, files */
.ui {
  color: #ffffff; font-weight: 600; white-space: nowrap;
  background: #22262e; border: 1px solid #353b46; border-radius: 3px; padding: 0 5px;
  font-size: 0.93em;
}
.fn {
  color: #ff7a45; font-weight: 700; font-size: 0.8em; letter-spacing: 0.06em; white-space: nowrap;
  border: 1px solid #5a2e1c; background: #1d1714; border-radius: 2px; padding: 1px 6px;
}
kbd, .key {
  font-family: Consolas, "DejaVu Sans Mono", "Liberation Mono", monospace; font-size: 0.85em;
  color: #ffffff; white-space: nowrap;
  background: #262a32; border: 1px solid #3a404b; border-bottom-width: 2px; border-radius: 3px; padding: 0 5px;
}
code, .file { font-family: Consolas, "DejaVu Sans Mono", "Liberation Mono", monospace; font-size: 0.88em; color: #e9d3c8; }
.msg { color: #ffffff; font-style: italic; }
.msg:before { content: "\201C"; color: #ff6020; font-style: normal; }
.msg:after { content: "\201D"; color: #ff6020; font-style: normal; }

/* steps */
ol.steps { list-style: none; padding-left: 0; counter-reset: step; }
ol.steps > li { position: relative; padding: 0 0 0 40px; margin: 0 0 10px 0; min-height: 26px; counter-increment: step; }
ol.steps > li:before {
  content: counter(step); position: absolute; left: 0; top: 0;
  width: 24px; height: 24px; line-height: 24px; text-align: center;
  border: 1px solid #ff6020; border-radius: 50%; color: #ff6020; font-size: 12px; font-weight: 700;
}

/* glossary */
dl.glossary { margin: 0 0 16px 0; border-top: 1px solid #2a2f38; }
dl.glossary dt {
  margin: 0; padding: 11px 0 2px 0; color: #ffffff; font-weight: 600;
}
dl.glossary dd { margin: 0; padding: 0 0 11px 0; border-bottom: 1px solid #2a2f38; color: #c9ced6; }
dl.glossary dd p:last-child { margin-bottom: 0; }

/* call-outs */
.callout { margin: 16px 0 18px 0; padding: 12px 16px 12px 16px; border-left: 3px solid #ff6020; background: #1a1d23; border-radius: 0 3px 3px 0; }
.callout p:last-child, .callout ul:last-child { margin-bottom: 0; }
.callout .label { display: block; margin: 0 0 4px 0; font-size: 11px; font-weight: 700; letter-spacing: 0.18em; text-transform: uppercase; color: #ff6020; }
.callout.tip { border-left-color: #5b6370; }
.callout.tip .label { color: #9aa3ae; }
.callout.caution { background: #221813; }

/* tables */
table.grid { width: 100%; border-collapse: collapse; margin: 6px 0 18px 0; font-size: 14px; }
table.grid th {
  text-align: left; padding: 8px 12px; background: #1d2026; color: #9aa3ae;
  font-size: 11px; font-weight: 700; letter-spacing: 0.14em; text-transform: uppercase;
  border-bottom: 2px solid #ff6020;
}
table.grid td { padding: 9px 12px; border-bottom: 1px solid #262a32; vertical-align: top; }
table.grid tr:nth-child(even) td { background: #15181c; }
table.grid td:first-child { min-width: 7em; }
table.grid td p:last-child { margin-bottom: 0; }

/* about page */
.about-hero { margin: 36px 0 8px 0; }
.facts { width: 100%; border-collapse: collapse; margin: 4px 0 18px 0; background: #181b20; border: 1px solid #2a2f38; }
.facts th {
  width: 38%; text-align: left; padding: 12px 16px; border-bottom: 1px solid #262a32;
  color: #9aa3ae; font-size: 11px; font-weight: 700; letter-spacing: 0.16em; text-transform: uppercase; vertical-align: middle;
}
.facts td { padding: 12px 16px; border-bottom: 1px solid #262a32; color: #ffffff; font-size: 16px; font-weight: 600; }
.facts tr:last-child th, .facts tr:last-child td { border-bottom: 0; }
.facts td:empty:before { color: #7d8590; font-weight: 400; font-style: italic; font-size: 14px; }
.device[data-reported="yes"] .unreported { display: none; }
.device-card { border-top: 3px solid #ff6020; }
.version-big { font-size: 44px; font-weight: 200; color: #ffffff; line-height: 1; margin: 0 0 6px 0; }
.version-big span { font-size: 13px; font-weight: 700; letter-spacing: 0.2em; color: #ff6020; text-transform: uppercase; margin-right: 12px; vertical-align: 12px; }
.single { max-width: 720px; }

/* footer */
.footer {
  margin-top: 56px; padding-top: 16px; border-top: 1px solid #2a2f38;
  color: #6f7782; font-size: 12.5px;
}
.footer a { color: #9aa3ae; }
.footer .sep { color: #3a404b; margin: 0 8px; }
.totop { float: right; }

</xsl:text>
    <!-- What an empty device cell says. -->
    <xsl:for-each select="/about/device/missing">.facts td:empty:before { content: "<xsl:value-of select="normalize-space(.)"/>"; }
</xsl:for-each>
    <xsl:text>@media (max-width: 820px) {
  .cols { display: block; }
  .toc { position: static; width: auto; margin: 28px 0 0 0; padding: 14px 16px; background: #181b20; border: 1px solid #2a2f38; }
  .toc > ol { border-left: 0; }
  .toc > ol > li > a { padding-left: 0; border-left: 0; }
  .wrap, .masthead-inner { padding-left: 20px; padding-right: 20px; }
  .masthead h1 { font-size: 28px; }
  .topnav { float: none; display: block; margin: 0 0 10px 0; }
  .topnav a { margin: 0 18px 0 0; }
}
@media print {
  html, body { background: #ffffff; color: #000000; }
  .toc, .topnav { display: none; }
  .masthead { background: #ffffff; }
  .masthead h1, h2, h3, strong, .ui, kbd, .msg, .facts td { color: #000000; }
  .ui, kbd, .fn, .callout, table.grid th, table.grid tr:nth-child(even) td, .facts { background: #ffffff; }
}
</xsl:text></style>
  </xsl:template>

  <xsl:template name="masthead">
    <xsl:param name="kind"/>
    <xsl:param name="title"/>
    <xsl:param name="sub"/>
    <div class="masthead" id="top">
      <div class="masthead-inner">
        <div class="topnav">
          <xsl:choose>
            <xsl:when test="$kind = 'help'">
              <a href="#contents">Contents</a>
              <a href="about.xml">About</a>
            </xsl:when>
            <xsl:otherwise>
              <a href="help.xml">Help</a>
            </xsl:otherwise>
          </xsl:choose>
        </div>
        <span class="brand"><span class="brand-mark"></span>Korelle</span>
        <h1><xsl:copy-of select="$title"/></h1>
        <p class="sub"><xsl:copy-of select="$sub"/></p>
      </div>
    </div>
  </xsl:template>

  <xsl:template name="footer">
    <xsl:param name="kind"/>
    <div class="footer">
      <a class="totop" href="#top">Back to top</a>
      <span>Korelle <xsl:value-of select="$version"/></span>
      <span class="sep">/</span>
      <span>Korelle K7 Optical Gaming Mouse</span>
      <xsl:if test="$kind = 'help'">
        <span class="sep">/</span><a href="about.xml">About Korelle</a>
      </xsl:if>
      <xsl:if test="$kind = 'about'">
        <span class="sep">/</span><a href="help.xml">Help</a>
      </xsl:if>
    </div>
  </xsl:template>

  <xsl:template name="head">
    <xsl:param name="title"/>
    <head>
      <meta name="viewport" content="width=device-width, initial-scale=1"/>
      <title><xsl:value-of select="$title"/></title>
      <xsl:call-template name="css"/>
    </head>
  </xsl:template>

  <!-- ================================================================
       help.xml
       ================================================================ -->

  <xsl:template match="/help">
    <html lang="en" xml:lang="en">
      <xsl:call-template name="head">
        <xsl:with-param name="title" select="concat(title, ' - Korelle ', $version)"/>
      </xsl:call-template>
      <body>
        <xsl:call-template name="masthead">
          <xsl:with-param name="kind" select="'help'"/>
          <xsl:with-param name="title"><strong><xsl:value-of select="title"/></strong></xsl:with-param>
          <xsl:with-param name="sub">
            <xsl:value-of select="subtitle"/>
            <span class="badge">Version <xsl:value-of select="$version"/></span>
          </xsl:with-param>
        </xsl:call-template>
        <div class="wrap">
          <div class="cols">
            <div class="toc" id="contents">
              <p class="toc-title">Contents</p>
              <ol>
                <xsl:for-each select="section">
                  <li>
                    <a href="#{@id}">
                      <span class="num"><xsl:call-template name="secnum"/></span>
                      <xsl:value-of select="@title"/>
                    </a>
                  </li>
                </xsl:for-each>
              </ol>
            </div>
            <div class="content">
              <xsl:apply-templates select="intro"/>
              <xsl:apply-templates select="section"/>
              <xsl:call-template name="footer">
                <xsl:with-param name="kind" select="'help'"/>
              </xsl:call-template>
            </div>
          </div>
        </div>
      </body>
    </html>
  </xsl:template>

  <xsl:template name="secnum">
    <xsl:number count="section" level="single" format="01"/>
  </xsl:template>

  <xsl:template match="intro">
    <div class="lead"><xsl:apply-templates/></div>
  </xsl:template>

  <xsl:template match="help/section">
    <div class="section" id="{@id}">
      <h2><span class="num"><xsl:call-template name="secnum"/></span><xsl:value-of select="@title"/></h2>
      <xsl:apply-templates/>
    </div>
  </xsl:template>

  <xsl:template match="section/section">
    <div class="subsection">
      <xsl:if test="@id"><xsl:attribute name="id"><xsl:value-of select="@id"/></xsl:attribute></xsl:if>
      <h3><xsl:value-of select="@title"/></h3>
      <xsl:apply-templates/>
    </div>
  </xsl:template>

  <xsl:template match="section/section/section">
    <div class="subsubsection">
      <xsl:if test="@id"><xsl:attribute name="id"><xsl:value-of select="@id"/></xsl:attribute></xsl:if>
      <h4><xsl:value-of select="@title"/></h4>
      <xsl:apply-templates/>
    </div>
  </xsl:template>

  <!-- ================================================================
       Block elements (shared by help.xml and about.xml)
       ================================================================ -->

  <xsl:template match="p">
    <p><xsl:apply-templates/></p>
  </xsl:template>

  <xsl:template match="list">
    <ul class="bullets"><xsl:apply-templates/></ul>
  </xsl:template>

  <xsl:template match="list/item">
    <li><xsl:apply-templates/></li>
  </xsl:template>

  <xsl:template match="steps">
    <ol class="steps"><xsl:apply-templates/></ol>
  </xsl:template>

  <xsl:template match="steps/step">
    <li><xsl:apply-templates/></li>
  </xsl:template>

  <xsl:template match="glossary">
    <dl class="glossary"><xsl:apply-templates/></dl>
  </xsl:template>

  <xsl:template match="glossary/entry">
    <dt><xsl:apply-templates select="name/node()"/></dt>
    <dd><xsl:apply-templates select="node()[not(self::name)]"/></dd>
  </xsl:template>

  <xsl:template match="note | tip | caution">
    <div class="callout {local-name()}">
      <span class="label">
        <xsl:choose>
          <xsl:when test="@label"><xsl:value-of select="@label"/></xsl:when>
          <xsl:when test="self::tip">Tip</xsl:when>
          <xsl:when test="self::caution">Important</xsl:when>
          <xsl:otherwise>Note</xsl:otherwise>
        </xsl:choose>
      </span>
      <xsl:choose>
        <xsl:when test="p | list | steps">
          <xsl:apply-templates/>
        </xsl:when>
        <xsl:otherwise>
          <p><xsl:apply-templates/></p>
        </xsl:otherwise>
      </xsl:choose>
    </div>
  </xsl:template>

  <xsl:template match="table">
    <table class="grid">
      <xsl:apply-templates select="head"/>
      <tbody><xsl:apply-templates select="row"/></tbody>
    </table>
  </xsl:template>

  <xsl:template match="table/head">
    <thead><tr><xsl:for-each select="cell"><th><xsl:apply-templates/></th></xsl:for-each></tr></thead>
  </xsl:template>

  <xsl:template match="table/row">
    <tr><xsl:for-each select="cell"><td><xsl:apply-templates/></td></xsl:for-each></tr>
  </xsl:template>

  <!-- ================================================================
       Inline elements
       ================================================================ -->

  <!-- a caption exactly as it appears on screen -->
  <xsl:template match="ui"><span class="ui"><xsl:apply-templates/></span></xsl:template>
  <!-- a button function name -->
  <xsl:template match="fn"><span class="fn"><xsl:apply-templates/></span></xsl:template>
  <!-- a keyboard key -->
  <xsl:template match="key"><kbd><xsl:apply-templates/></kbd></xsl:template>
  <!-- the text of a message shown by the program -->
  <xsl:template match="msg"><span class="msg"><xsl:apply-templates/></span></xsl:template>
  <!-- a file or folder name -->
  <xsl:template match="file"><code class="file"><xsl:apply-templates/></code></xsl:template>
  <!-- program text, such as a file's content -->
  <xsl:template match="code"><code><xsl:apply-templates/></code></xsl:template>
  <!-- a key term, at the place where it is explained -->
  <xsl:template match="term"><span class="term"><xsl:apply-templates/></span></xsl:template>
  <xsl:template match="em"><em><xsl:apply-templates/></em></xsl:template>
  <xsl:template match="strong"><strong><xsl:apply-templates/></strong></xsl:template>
  <xsl:template match="br"><br/></xsl:template>

  <!-- a cross-reference to a section of the same page -->
  <xsl:template match="ref">
    <xsl:variable name="to" select="@to"/>
    <a href="#{$to}">
      <xsl:choose>
        <xsl:when test="normalize-space(.) != ''"><xsl:apply-templates/></xsl:when>
        <xsl:otherwise><xsl:value-of select="//section[@id = $to]/@title"/></xsl:otherwise>
      </xsl:choose>
    </a>
  </xsl:template>

  <!-- a link to another page of the help -->
  <xsl:template match="link">
    <a href="{@href}"><xsl:apply-templates/></a>
  </xsl:template>

  <!-- ================================================================
       about.xml
       ================================================================ -->

  <xsl:template match="/about">
    <html lang="en" xml:lang="en">
      <xsl:call-template name="head">
        <xsl:with-param name="title" select="title"/>
      </xsl:call-template>
      <body>
        <xsl:call-template name="masthead">
          <xsl:with-param name="kind" select="'about'"/>
          <xsl:with-param name="title"><strong><xsl:value-of select="program/@name"/></strong></xsl:with-param>
          <xsl:with-param name="sub"><xsl:value-of select="subtitle"/></xsl:with-param>
        </xsl:call-template>
        <div class="wrap">
          <div class="single">
            <div class="about-hero">
              <p class="version-big"><span>Version</span><xsl:value-of select="$version"/></p>
            </div>
            <xsl:apply-templates select="intro"/>
            <xsl:apply-templates select="section | device"/>
            <xsl:call-template name="footer">
              <xsl:with-param name="kind" select="'about'"/>
            </xsl:call-template>
          </div>
        </div>
      </body>
    </html>
  </xsl:template>

  <xsl:template match="about/section">
    <div class="section" id="{@id}">
      <h2><xsl:value-of select="@title"/></h2>
      <xsl:apply-templates/>
    </div>
  </xsl:template>

  <!-- The "Device" section: a table of the product information. Each time
       the About page is opened from the program, the profile library writes
       the four values into the cells whose ids are the attribute names of
       About/file.xml's Mouse element, and data-reported ("yes" or "no") on
       the section. An empty cell reads "Not reported" (see the style sheet);
       as shipped, the mouse's versions are not reported yet. -->
  <xsl:template match="about/device">
    <div class="section device" id="device" data-reported="no">
      <h2><xsl:value-of select="@title"/></h2>
      <xsl:apply-templates select="before/node()"/>
      <table class="facts device-card">
        <tbody>
          <xsl:call-template name="fact">
            <xsl:with-param name="label" select="labels/@product"/>
            <xsl:with-param name="id" select="'ProductName'"/>
            <xsl:with-param name="value" select="@product"/>
          </xsl:call-template>
          <xsl:call-template name="fact">
            <xsl:with-param name="label" select="labels/@file"/>
            <xsl:with-param name="id" select="'File'"/>
            <xsl:with-param name="value" select="$version"/>
          </xsl:call-template>
          <xsl:call-template name="fact">
            <xsl:with-param name="label" select="labels/@firmware"/>
            <xsl:with-param name="id" select="'FirmWare'"/>
          </xsl:call-template>
          <xsl:call-template name="fact">
            <xsl:with-param name="label" select="labels/@hardware"/>
            <xsl:with-param name="id" select="'HardWare'"/>
          </xsl:call-template>
        </tbody>
      </table>
      <xsl:apply-templates select="unreported"/>
      <xsl:apply-templates select="after/node()"/>
    </div>
  </xsl:template>

  <!-- Shown while data-reported is "no". -->
  <xsl:template match="device/unreported">
    <div class="callout tip unreported">
      <span class="label"><xsl:value-of select="@label"/></span>
      <xsl:apply-templates/>
    </div>
  </xsl:template>

  <!-- One row of the device table. -->
  <xsl:template name="fact">
    <xsl:param name="label"/>
    <xsl:param name="id"/>
    <xsl:param name="value" select="''"/>
    <tr>
      <th scope="row"><xsl:value-of select="$label"/></th>
      <td id="{$id}"><xsl:value-of select="normalize-space($value)"/></td>
    </tr>
  </xsl:template>

  <!-- The version of the build, where a page's text names it. -->
  <xsl:template match="version"><xsl:value-of select="$version"/></xsl:template>

  <!-- Elements of about.xml's device section that are only read by the
       templates above. -->
  <xsl:template match="device/labels | device/missing"/>

</xsl:stylesheet>
