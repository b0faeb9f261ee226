<?xml version="1.0" encoding="UTF-8"?>
<!--
  Korelle help pages: renders About/file.xml (the product information that
  Korelle writes when the About page opens) on its own, in the style of the
  other help pages. XSLT 1.0, HTML output.
-->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">

  <xsl:import href="../help.xsl"/>

  <xsl:output method="html" encoding="UTF-8" indent="no"
              doctype-system="about:legacy-compat"/>

  <xsl:template match="/">
    <xsl:variable name="mouse" select="//Mouse[1]"/>
    <html lang="en">
      <xsl:call-template name="head">
        <xsl:with-param name="title" select="'Product information - Korelle'"/>
      </xsl:call-template>
      <body>
        <xsl:call-template name="masthead">
          <xsl:with-param name="kind" select="'file'"/>
          <xsl:with-param name="title"><strong>Product information</strong></xsl:with-param>
          <xsl:with-param name="sub">Korelle K7 Optical Gaming Mouse</xsl:with-param>
        </xsl:call-template>
        <div class="wrap">
          <div class="single">
            <p class="lead">The product and version information that Korelle records each
            time you open its About page.</p>
            <xsl:choose>
              <xsl:when test="$mouse">
                <xsl:call-template name="device-table">
                  <xsl:with-param name="mouse" select="$mouse"/>
                </xsl:call-template>
                <xsl:if test="normalize-space($mouse/@FirmWare) = '' or normalize-space($mouse/@HardWare) = ''
                              or (normalize-space($mouse/@FirmWare) = '0' and normalize-space($mouse/@HardWare) = '0')">
                  <div class="callout tip">
                    <span class="label">Versions not reported</span>
                    <p>The firmware and hardware versions appear here once Korelle has read
                    them from the mouse. Connect the mouse, then open the About page with the
                    About button of the Korelle main window.</p>
                  </div>
                </xsl:if>
              </xsl:when>
              <xsl:otherwise>
                <div class="callout tip">
                  <span class="label">No product information</span>
                  <p>This file holds no product information. Install Korelle again.</p>
                </div>
              </xsl:otherwise>
            </xsl:choose>
            <div class="footer">
              <a class="totop" href="../about.xml">About Korelle</a>
              <span>Korelle <xsl:value-of select="$mouse/@File"/></span>
              <span class="sep">/</span>
              <span>Korelle K7 Optical Gaming Mouse</span>
              <span class="sep">/</span>
              <a href="../help.xml">Help</a>
            </div>
          </div>
        </div>
      </body>
    </html>
  </xsl:template>

</xsl:stylesheet>
